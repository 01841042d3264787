// Each object's label placed beside it, in list order, at the place the
// label search finds among the obstacles registered before it; each label
// and its leader become obstacles in turn.
//
// Where the process may run on a second core, the labels are searched for
// on two threads, each taking the next label not yet taken, while they are
// registered in list order. An answer found before the labels ahead of it
// were registered is kept only when those labels and their leaders lie
// clear of every obstacle its search reads; otherwise it is searched for
// again. The places are the same either way: the second thread only saves
// time, on maps where consecutive objects lie apart.
#pragma once

#include "render/layout.h"

namespace orvex {

// layout holds the obstacles so far and an entry per object.
void placeLabels(const std::vector<GameObject>& objects, const LayoutSettings& settings, MapLayout& layout);

}  // namespace orvex
