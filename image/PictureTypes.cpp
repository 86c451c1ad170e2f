#include "image/PictureTypes.h"

const char kOpenFilter[] =
    "BMPファイル (*.bmp;*.dib;*.rle)|*.bmp;*.dib;*.rle|JPEGファイル (*.jpg;*.jpeg;*.jpe)|*.jpg;*.jpeg;*.jpe|"
    "PNGファイル (*.png)|*.png|TIFFファイル(*.tif;*.tiff)|*.tif;*.tiff|GIFファイル (*.gif)|*.gif|"
    "EMFファイル (*.emf)|*.emf|WMFファイル (*.wmf)|*.wmf|ICOファイル (*.ico)|*.ico|"
    "すべてのファイル (*.*)|*.*||";
