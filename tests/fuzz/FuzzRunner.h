// One fuzz case: a mutated settings file or picture, fed to the program's
// own code, and the check of what came out.
//  - wndset.def to WindowSettings::LoadFrom; history.def to
//    HistoryList::LoadFrom and AddPathIn: either the stored values, or the
//    defaults after exactly one "エラー" box, the latter exactly when the data
//    ends early (decided by a reading of the format written here, apart from
//    the loaders).
//  - a picture to the format detector, the header checks and the EXIF
//    readers (an orientation of 1..8; a thumbnail only as a JPEG inside the
//    data, which is checked in turn) and, for a BMP, the clipboard DIB check
//    and reader on the bytes after its file header, each on a copy that ends where a
//    no-access page begins (so a read beyond it faults), and then to the real view in a
//    real frame: load, fit, one paint. Either an image and no box, or no
//    image and one of the view's two messages; a refused header must give
//    "未対応のフォーマットです".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Mutator.h"

class CMainFrame;

enum Category {
    kWindowSettings,
    kHistoryLoad,
    kHistoryAdd,
    kBmp,
    kJpeg,
    kPng,
    kGif,
    kTiff,
    kIcon,
    kCursor,
    kEmf,
    kWmf,
    // Formats only the system's imaging codecs read.
    kDds,
    kTga,
    kJxr,
    kCategoryCount
};

// Row names of the counts; a picture category's name is its corpus files'
// extension.
extern const char* const kCategoryNames[kCategoryCount];

// Cases take the categories in turn.
inline Category CategoryOfCase(long index)
{
    return static_cast<Category>(index % kCategoryCount);
}

struct SeedFile {
    std::string name;
    Bytes bytes;
};

// The corpus folder's pictures by category, and the settings files built here.
struct Corpus {
    std::string folder;
    std::vector<SeedFile> seeds[kCategoryCount];
};

// Reads every file of the folder; false (with the reason) when a category has
// no seed.
bool LoadCorpus(const std::string& folder, Corpus* pCorpus, std::string* pError);

struct FuzzInput {
    Category category;
    std::string origin; // the seed's name
    Bytes bytes;
};

enum class Outcome {
    Read,    // the values, or an image shown
    Refused, // the defaults after the box, or a message
    Failed,  // anything else: detail says what
};

struct CaseResult {
    Outcome outcome;
    std::string detail;
};

class FuzzRunner {
public:
    // Files of the cases are written into workFolder.
    FuzzRunner(const Corpus& corpus, std::string workFolder, uint64_t seed);
    ~FuzzRunner();
    FuzzRunner(const FuzzRunner&) = delete;
    FuzzRunner& operator=(const FuzzRunner&) = delete;

    FuzzInput MakeInput(long index) const;
    CaseResult Run(const FuzzInput& input);

    // Whether a faulting address lies in the no-access page behind the
    // header check's copy of the current picture.
    static bool IsGuardAddress(ULONG_PTR address);

private:
    CaseResult RunWindowSettings(const Bytes& bytes);
    CaseResult RunHistoryLoad(const Bytes& bytes);
    CaseResult RunHistoryAdd(const Bytes& bytes);
    CaseResult RunPicture(const Bytes& bytes);
    CMainFrame* Frame();

    const Corpus& m_corpus;
    std::string m_work;
    uint64_t m_seed;
    CMainFrame* m_pFrame = nullptr;
};
