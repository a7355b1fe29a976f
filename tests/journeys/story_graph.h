#pragma once
// The story's hand-over graph: for every stage, the stages it can hand over to.
#include <map>
#include <vector>

const std::map<int, std::vector<int>>& StoryGraph();
