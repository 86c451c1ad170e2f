// The file types the program opens: the filters of the File Open dialog, and
// the extensions the step keys go through in a folder.
#pragma once

#include <string>
#include <vector>

// The classic filters, pairs of description and patterns separated by '|',
// ended by "||": one entry per type GDI+ reads, then every file.
extern const char kOpenFilter[];

// The extensions a file-dialog filter lists ("text|*.bmp;*.dib|...||"), in
// lower case and without the dot; "*.*" lists none.
std::vector<std::string> ExtensionsOfFilter(const char* filter);

// The extensions of a decoder's list, lower case, without dot or star:
// ".JPG,.jpeg" and "*.BMP;*.DIB" alike. Items that are not plain ASCII, or
// hold a blank, a '|' or a wildcard, are left out.
std::vector<std::string> ExtensionsOfList(const std::wstring& list);

// Every extension of the lists and of more, each once, in alphabetical order.
std::vector<std::string> MergeExtensions(const std::vector<std::wstring>& lists,
                                         const std::vector<std::string>& more = {});

// The File Open filter: first "すべての画像" (all pictures) with every
// extension, then the classic filters.
std::string AllPicturesFilter(const std::vector<std::string>& extensions);

// The extensions every decoder of this system reads: GDI+'s and those of the
// system's imaging codecs (and the classic filters' own), asked once and kept
// for the process's life. GDI+ must be running.
const std::vector<std::string>& ReadablePictureExtensions();
// AllPicturesFilter of them.
const std::string& OpenDialogFilter();
