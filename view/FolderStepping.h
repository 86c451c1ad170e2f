// The order in which the step keys go through the pictures of a folder: the
// file types the program opens, the order Explorer shows by name, and where
// a step from one picture lands, wrapping around at the ends. Free functions,
// tested without a window.
#pragma once

#include <string>
#include <vector>

enum class StepKind {
    Next,
    Previous,
    First,
    Last
};

// Whether the name ends in '.' and one of the extensions (ASCII letters folded).
bool HasListedExtension(const std::wstring& name, const std::vector<std::string>& extensions);

// The order of names in Explorer (StrCmpLogicalW: "img9" before "img10",
// letters folded); names it finds equal (they differ in case only, which a
// folder can hold under some file systems) in a fixed order all the same.
bool NaturallyBefore(const std::wstring& a, const std::wstring& b);
void SortNaturally(std::vector<std::wstring>& names);

// A place in a naturally sorted list: at index when the name is listed, else
// just before index (0..count), where the name would be.
struct StepPosition {
    int index = 0;
    bool listed = false;
};
// The name's place: the entry of that name (exactly, else with letters
// folded), else where it would stand.
StepPosition PositionInList(const std::vector<std::wstring>& sorted, const std::wstring& name);

// The index a step from pos goes to in a list of count names, wrapping around
// at both ends; -1 when the list is empty.
int StepTarget(StepPosition pos, int count, StepKind kind);
