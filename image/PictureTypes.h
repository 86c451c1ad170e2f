// The file types the program opens: the filter of the File Open dialog, which
// also says which files of a folder the step keys go through.
#pragma once

// Pairs of description and patterns separated by '|', ended by "||".
extern const char kOpenFilter[];
