// Writing pixels as a PNG file's bytes, with GDI+'s encoder: how a picture
// pasted from the clipboard becomes a file the program opens like any other.
#pragma once

#include <windows.h>

#include <cstdint>

#include "CGlobalBlock.h"

// Encodes the top-down 0xAARRGGBB pixels (width x height; with bAlpha FALSE
// the alpha bytes are ignored) into *pPng, whose first *pcb bytes are the
// file (the block may be larger). FALSE without the memory or the encoder.
BOOL EncodePng(const std::uint32_t* pixels, int width, int height, BOOL bAlpha, CGlobalBlock* pPng, SIZE_T* pcb);
