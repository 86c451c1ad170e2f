#include "FuzzRunner.h"

#include <algorithm>

#include "AfxGlobals.h"
#include "CBitmap.h"
#include "CWinApp.h"
#include "frame/CMainFrame.h"
#include "history/HistoryList.h"
#include "history/HistoryThumbnail.h"
#include "res/resource.h"
#include "settings/WindowSettings.h"
#include "support/MessageBoxCapture.h"
#include "support/Polling.h"
#include "support/TestFiles.h"
#include "image/ClipboardDib.h"
#include "image/ExifReader.h"
#include "image/ImageFormat.h"
#include "image/ImageHeader.h"

const char* const kCategoryNames[kCategoryCount] = {"wndset.def", "history.def", "history add", "bmp", "jpg",
                                                    "png",        "gif",         "tif",         "ico", "cur",
                                                    "emf",        "wmf",         "dds",         "tga", "jxr"};

namespace {

const char kErrorCaption[] = "エラー";
const char kSettingsDamaged[] =
    "ウィンドウ設定のバックアップからの回復に失敗しました\r\nウィンドウ設定を初期値に戻します";
const char kHistoryDamaged[] =
    "ヒストリー設定のバックアップからの回復に失敗しました\r\nヒストリー設定を初期値に戻します";
const char kUnsupported[] = "未対応のフォーマットです";
const char kCannotOpen[] = "ファイルがオープンできません";

// The no-access page behind the current guarded copy (read by the crash
// filter, so never left to the optimiser).
volatile ULONG_PTR g_guardBegin = 0;
volatile ULONG_PTR g_guardEnd = 0;

// A copy of the bytes that ends exactly where a no-access page begins.
class GuardedCopy {
public:
    explicit GuardedCopy(const Bytes& bytes) : m_size(bytes.size())
    {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        const std::size_t page = info.dwPageSize;
        const std::size_t span = (m_size + page - 1) / page * page;
        m_base =
            static_cast<unsigned char*>(::VirtualAlloc(nullptr, span + page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(m_base + span, page, PAGE_NOACCESS, &old);
        g_guardBegin = reinterpret_cast<ULONG_PTR>(m_base + span);
        g_guardEnd = g_guardBegin + page;
        m_data = m_base + span - m_size;
        std::copy(bytes.begin(), bytes.end(), m_data);
    }
    ~GuardedCopy()
    {
        g_guardBegin = g_guardEnd = 0;
        ::VirtualFree(m_base, 0, MEM_RELEASE);
    }
    GuardedCopy(const GuardedCopy&) = delete;
    GuardedCopy& operator=(const GuardedCopy&) = delete;

    const unsigned char* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    std::size_t m_size;
    unsigned char* m_base = nullptr;
    unsigned char* m_data = nullptr;
};

// Little-endian values and length-prefixed strings as the settings files
// hold them, read apart from the program's own archive.
class ByteReader {
public:
    explicit ByteReader(const Bytes& bytes) : m_bytes(bytes) {}

    bool Int(int& value)
    {
        uint32_t v = 0;
        if (!Uint(v, 4))
            return false;
        value = static_cast<int>(v);
        return true;
    }
    bool String(std::string& text)
    {
        uint32_t length = 0;
        if (!Uint(length, 1))
            return false;
        if (length == 0xFF && (!Uint(length, 2) || (length == 0xFFFF && !Uint(length, 4))))
            return false;
        if (length > m_bytes.size() - m_pos)
            return false;
        text.assign(m_bytes.begin() + m_pos, m_bytes.begin() + m_pos + length);
        m_pos += length;
        return true;
    }

private:
    bool Uint(uint32_t& value, std::size_t width)
    {
        if (m_bytes.size() - m_pos < width)
            return false;
        value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= static_cast<uint32_t>(m_bytes[m_pos + i]) << (8 * i);
        m_pos += width;
        return true;
    }

    const Bytes& m_bytes;
    std::size_t m_pos = 0;
};

void PutString(Bytes& bytes, const std::string& text)
{
    const std::size_t n = text.size();
    if (n < 0xFF) {
        bytes.push_back(static_cast<unsigned char>(n));
    } else {
        bytes.insert(bytes.end(), {0xFF, static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8)});
    }
    bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes HistoryFile(std::initializer_list<long long> head, const std::vector<std::string>& paths)
{
    Bytes bytes = LittleEndianInts(head);
    const Bytes count = LittleEndianInts({static_cast<long long>(paths.size())});
    bytes.insert(bytes.end(), count.begin(), count.end());
    for (const std::string& path : paths)
        PutString(bytes, path);
    return bytes;
}

// Settings files of every version, and history files listing corpus files
// (which exist), the same file in other letter case, Japanese names, paths
// that do not exist, each string-length form, and more entries than the
// list keeps.
void AddSettingsSeeds(Corpus& corpus)
{
    const std::initializer_list<long long> windowSettings[] = {
        {5, 0, 50, 1, 1, 80, 0, 0, 1, 300}, {5, 1, 400, 4, 0, 10, 1, 1, 9, 0},   {4, 0, 350, 1, 70, 1, 0, 1, 200},
        {3, 1, -480, 1, 100, 0, 1, 0},      {2, 0, 70, 1, 50, 0, 1, 0, 7, 8, 9}, {1, 0, 0, 1, 100, 0, 1, 0, 5},
        {0, 0, 120, 0, 30, 2, 8, 64},       {-7, 1, 20, 1, 90, 1, 1, 16},        {9, 1, 1, 2, 1, 100, 1, 0, 1, 50, 77},
    };
    for (const auto& ints : windowSettings)
        corpus.seeds[kWindowSettings].push_back({"wndset v" + std::to_string(*ints.begin()), LittleEndianInts(ints)});

    std::vector<std::string> existing;
    for (int c = kBmp; c < kCategoryCount; ++c)
        existing.push_back(corpus.folder + "\\" + corpus.seeds[c].front().name);
    std::string upper = existing[0];
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char ch) { return ch >= 'a' && ch <= 'z' ? ch - 32 : ch; });
    const std::vector<std::string> mixed = {
        existing[0],
        existing[1],
        upper,
        "C:\\写真\\表.png",
        std::string(254, 'a'),
        std::string(255, 'b'),
        "C:\\" + std::string(300, 'c'),
        existing[2],
        "",
    };
    std::vector<std::string> all;
    for (int c = kBmp; c < kCategoryCount; ++c)
        for (const SeedFile& seed : corpus.seeds[c])
            all.push_back(corpus.folder + "\\" + seed.name);
    const SeedFile history[] = {
        {"history v1", HistoryFile({1, 10, 1, 30, 30}, mixed)},
        {"history v0", HistoryFile({0, 3}, existing)},
        {"history v1, 50+ entries", HistoryFile({1, 50, 0, 64, 48}, all)},
        {"history v1, max 0", HistoryFile({1, 0, 1, 30, 30}, {})},
    };
    for (const SeedFile& seed : history) {
        corpus.seeds[kHistoryLoad].push_back(seed);
        corpus.seeds[kHistoryAdd].push_back(seed);
    }
}

bool IsDefaultSettings(const WindowSettings& s)
{
    return s.m_nAlpha == 100 && s.m_nZoomValue == 0 && s.m_nZoomMode == ZOOM_ANY && s.m_bandInfo.fStyle == RBBS_BREAK &&
           s.m_bandInfo.wID == 0 && !s.m_bFrameless && s.m_bStatusBar && !s.m_bTopMost;
}

bool IsDefaultHistory(const HistoryList& h)
{
    return h.m_paths.empty() && h.m_nMaxCount == HistoryList::kDefaultMaxCount && h.m_bShowThumbnails &&
           h.m_nThumbWidth == HistoryList::kDefaultThumbSize && h.m_nThumbHeight == HistoryList::kDefaultThumbSize;
}

// Collects what did not hold; the case failed when anything did not.
class Expectations {
public:
    void That(bool holds, const char* what)
    {
        if (!holds)
            m_failed += m_failed.empty() ? what : std::string("; ") + what;
    }
    CaseResult Result(Outcome outcome) const
    {
        return m_failed.empty() ? CaseResult{outcome, {}} : CaseResult{Outcome::Failed, m_failed};
    }

private:
    std::string m_failed;
};

void ExpectDamagedBox(Expectations& expect, const MessageBoxCapture& boxes, const char* text)
{
    expect.That(boxes.Count() == 1, "not exactly one box for data that ends early");
    if (boxes.Count() == 1) {
        expect.That(boxes.Boxes()[0].caption == kErrorCaption, "box caption is not エラー");
        expect.That(boxes.Boxes()[0].text == text, "box text is not the damaged-file message");
    }
}

// What a history file holds, read here apart from the program's archive.
struct HistoryModel {
    bool complete = false;
    int version = 0;
    int maxCount = 0;
    int thumbs[3] = {TRUE, HistoryList::kDefaultThumbSize, HistoryList::kDefaultThumbSize};
    std::vector<std::string> paths;
};

HistoryModel ReadHistoryModel(const Bytes& bytes)
{
    HistoryModel model;
    ByteReader reader(bytes);
    int count = 0;
    if (!reader.Int(model.version) || !reader.Int(model.maxCount))
        return model;
    if (model.version >= 1 &&
        !(reader.Int(model.thumbs[0]) && reader.Int(model.thumbs[1]) && reader.Int(model.thumbs[2])))
        return model;
    if (!reader.Int(count) || count < 0)
        return model;
    for (int i = 0; i < count; ++i) {
        std::string path;
        if (!reader.String(path))
            return model;
        model.paths.push_back(path);
    }
    model.complete = true;
    return model;
}

// A loaded list holds stored paths only, no more than the maximum allows
// (below 0 the default, above 50 fifty), with the stored thumbnail settings.
void ExpectStoredHistory(Expectations& expect, const HistoryModel& model, const HistoryList& list)
{
    const int maxCount = model.maxCount < 0 ? HistoryList::kDefaultMaxCount : std::min(model.maxCount, 50);
    expect.That(list.m_nMaxCount == maxCount, "maximum is not the stored one");
    expect.That(static_cast<int>(list.m_paths.size()) <= maxCount, "more entries than the maximum");
    for (const CString& path : list.m_paths)
        expect.That(std::find(model.paths.begin(), model.paths.end(),
                              std::string(path.GetString(), static_cast<std::size_t>(path.GetLength()))) !=
                        model.paths.end(),
                    "an entry that is not in the file");
    expect.That(list.m_bShowThumbnails == model.thumbs[0] && list.m_nThumbWidth == model.thumbs[1] &&
                    list.m_nThumbHeight == model.thumbs[2],
                "thumbnail settings are not the stored ones");
}

} // namespace

bool LoadCorpus(const std::string& folder, Corpus* pCorpus, std::string* pError)
{
    pCorpus->folder = folder;
    WIN32_FIND_DATAA found;
    HANDLE hFind = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            const std::size_t dot = name.rfind('.');
            for (int c = kBmp; c < kCategoryCount && dot != std::string::npos; ++c) {
                if (name.compare(dot + 1, std::string::npos, kCategoryNames[c]) == 0)
                    pCorpus->seeds[c].push_back({name, ReadBytes(folder + "\\" + name)});
            }
        } while (::FindNextFileA(hFind, &found));
        ::FindClose(hFind);
    }
    for (int c = kBmp; c < kCategoryCount; ++c) {
        // The same order on every run, whatever order the folder lists.
        std::sort(pCorpus->seeds[c].begin(), pCorpus->seeds[c].end(),
                  [](const SeedFile& a, const SeedFile& b) { return a.name < b.name; });
        if (pCorpus->seeds[c].empty()) {
            *pError = "no ." + std::string(kCategoryNames[c]) + " file in " + folder +
                      " (tests/fuzz/make_corpus.py writes the corpus)";
            return false;
        }
    }
    AddSettingsSeeds(*pCorpus);
    return true;
}

FuzzRunner::FuzzRunner(const Corpus& corpus, std::string workFolder, uint64_t seed)
    : m_corpus(corpus), m_work(std::move(workFolder)), m_seed(seed)
{
}

FuzzRunner::~FuzzRunner()
{
    if (m_pFrame && ::IsWindow(m_pFrame->m_hWnd))
        m_pFrame->DestroyWindow(); // the frame deletes itself
    if (AfxGetApp())
        AfxGetApp()->m_pMainWnd = nullptr;
    PumpMessages();
}

bool FuzzRunner::IsGuardAddress(ULONG_PTR address)
{
    return address >= g_guardBegin && address < g_guardEnd;
}

FuzzInput FuzzRunner::MakeInput(long index) const
{
    Mutator mutator(m_seed, static_cast<uint64_t>(index));
    const Category category = CategoryOfCase(index);
    const std::vector<SeedFile>& seeds = m_corpus.seeds[category];
    const SeedFile& seed = seeds[mutator.Below(seeds.size())];
    return {category, seed.name, mutator.Mutate(seed.bytes)};
}

CaseResult FuzzRunner::Run(const FuzzInput& input)
{
    switch (input.category) {
    case kWindowSettings: return RunWindowSettings(input.bytes);
    case kHistoryLoad: return RunHistoryLoad(input.bytes);
    case kHistoryAdd: return RunHistoryAdd(input.bytes);
    default: return RunPicture(input.bytes);
    }
}

CaseResult FuzzRunner::RunWindowSettings(const Bytes& bytes)
{
    const std::string path = m_work + "\\" + WindowSettings::kFileName;
    WriteBytes(path, bytes);
    std::vector<int> ints;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
        ints.push_back(static_cast<int>(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 |
                                        static_cast<unsigned>(bytes[i + 3]) << 24));
    // Integers each version holds (the version included), and where the
    // frameless flag, status bar, opacity, band style and band width are.
    const int version = ints.empty() ? 0 : ints[0];
    const std::size_t needed = version >= 5 ? 10 : version == 4 ? 9 : version == 2 ? 11 : version == 1 ? 9 : 8;
    const std::size_t at[5] = {1, version >= 5 ? 4u : 3u, version >= 5 ? 5u : 4u,
                               version >= 5   ? 8u
                               : version == 4 ? 7u
                                              : 6u,
                               version >= 5   ? 9u
                               : version == 4 ? 8u
                                              : 7u};

    WindowSettings settings;
    MessageBoxCapture boxes;
    Expectations expect;
    expect.That(settings.LoadFrom(path.c_str()) == TRUE, "LoadFrom returned FALSE");
    if (ints.size() < needed) {
        ExpectDamagedBox(expect, boxes, kSettingsDamaged);
        expect.That(IsDefaultSettings(settings), "not the defaults after data that ends early");
        return expect.Result(Outcome::Refused);
    }
    const int alpha = ints[at[2]];
    expect.That(boxes.Count() == 0, "a box for a complete file");
    expect.That(settings.m_bFrameless == ints[at[0]] && settings.m_bStatusBar == ints[at[1]], "flags not as stored");
    expect.That(settings.m_nAlpha == (alpha >= 10 && alpha <= 100 ? alpha : 100), "opacity not as stored or 100");
    expect.That(settings.m_bandInfo.fStyle == static_cast<UINT>(ints[at[3]]) &&
                    settings.m_bandInfo.cx == static_cast<UINT>(ints[at[4]]),
                "band not as stored");
    expect.That(settings.m_nZoomMode >= ZOOM_ANY && settings.m_nZoomMode <= ZOOM_FIX_BOTH, "unknown zoom mode");
    return expect.Result(Outcome::Read);
}

CaseResult FuzzRunner::RunHistoryLoad(const Bytes& bytes)
{
    const std::string path = m_work + "\\" + HistoryList::kFileName;
    WriteBytes(path, bytes);
    const HistoryModel model = ReadHistoryModel(bytes);
    HistoryList list;
    MessageBoxCapture boxes;
    Expectations expect;
    expect.That(list.LoadFrom(path.c_str()) == TRUE, "LoadFrom returned FALSE");
    if (!model.complete) {
        ExpectDamagedBox(expect, boxes, kHistoryDamaged);
        expect.That(IsDefaultHistory(list), "not the defaults after data that ends early");
        return expect.Result(Outcome::Refused);
    }
    expect.That(boxes.Count() == 0, "a box for a complete file");
    ExpectStoredHistory(expect, model, list);
    return expect.Result(Outcome::Read);
}

// The file is read and written back under one open: the added picture comes
// first (unless the maximum is 0), and the file written reads back complete
// with the same list.
CaseResult FuzzRunner::RunHistoryAdd(const Bytes& bytes)
{
    const std::string path = m_work + "\\" + HistoryList::kFileName;
    WriteBytes(path, bytes);
    HistoryModel model = ReadHistoryModel(bytes);
    const bool damaged = !model.complete;
    const std::string added = m_corpus.folder + "\\" + m_corpus.seeds[kBmp].front().name;
    HistoryList list;
    Expectations expect;
    {
        MessageBoxCapture boxes;
        expect.That(list.AddPathIn(m_work.c_str(), added.c_str()) == TRUE, "AddPathIn returned FALSE");
        if (!damaged) {
            expect.That(boxes.Count() == 0, "a box for a complete file");
        } else {
            ExpectDamagedBox(expect, boxes, kHistoryDamaged);
            model = HistoryModel();
            model.complete = true;
            model.maxCount = HistoryList::kDefaultMaxCount;
        }
    }
    model.paths.push_back(added);
    ExpectStoredHistory(expect, model, list);
    expect.That(list.m_nMaxCount == 0 || (!list.m_paths.empty() && list.m_paths[0] == added.c_str()),
                "the added path is not first");
    HistoryList reread;
    MessageBoxCapture boxes;
    expect.That(reread.LoadFrom(path.c_str()) == TRUE && boxes.Count() == 0, "the file written does not read back");
    expect.That(reread.m_paths == list.m_paths && reread.m_nMaxCount == list.m_nMaxCount,
                "the file written reads back another list");
    return expect.Result(damaged ? Outcome::Refused : Outcome::Read);
}

CaseResult FuzzRunner::RunPicture(const Bytes& bytes)
{
    bool refused = false;
    int orientation = 0;
    bool thumbnailInside = true;
    bool hasThumbnail = false;
    {
        GuardedCopy copy(bytes);
        ImageDimensions dims = {};
        DetectImageFormat(copy.Data(), copy.Size());
        ReadImageDimensions(copy.Data(), copy.Size(), &dims);
        refused = IsImageRefused(copy.Data(), copy.Size());
        orientation = ReadExifOrientation(copy.Data(), copy.Size());
        ByteRange thumbnail = {};
        hasThumbnail = FindExifThumbnail(copy.Data(), copy.Size(), &thumbnail);
        if (hasThumbnail) {
            thumbnailInside = thumbnail.length >= 2 && thumbnail.offset <= copy.Size() &&
                              thumbnail.length <= copy.Size() - thumbnail.offset &&
                              copy.Data()[thumbnail.offset] == 0xFF && copy.Data()[thumbnail.offset + 1] == 0xD8;
            // The thumbnail is a picture of its own, checked as the view would check it.
            if (thumbnailInside) {
                GuardedCopy inner(
                    Bytes(copy.Data() + thumbnail.offset, copy.Data() + thumbnail.offset + thumbnail.length));
                IsImageRefused(inner.Data(), inner.Size());
                ReadExifOrientation(inner.Data(), inner.Size());
            }
        }
    }
    // A BMP without its file header is a DIB as the clipboard holds one:
    // checked and read as a paste would; what passes has its rows inside.
    bool dibInside = true;
    constexpr std::size_t kBmpFileHeader = 14;
    if (bytes.size() > kBmpFileHeader && bytes[0] == 'B' && bytes[1] == 'M') {
        GuardedCopy dib(Bytes(bytes.begin() + kBmpFileHeader, bytes.end()));
        DibLayout layout;
        if (CheckClipboardDib(dib.Data(), dib.Size(), &layout)) {
            dibInside = layout.bitsOffset <= dib.Size() &&
                        layout.stride * static_cast<std::size_t>(layout.height) <= dib.Size() - layout.bitsOffset;
            if (dibInside) {
                std::vector<std::uint32_t> pixels(static_cast<std::size_t>(layout.width) *
                                                  static_cast<std::size_t>(layout.height));
                ReadDibPixels(dib.Data(), layout, pixels.data());
            }
        }
    }
    const std::string path = m_work + "\\picture";
    WriteBytes(path, bytes);
    CMainFrame* pFrame = Frame();
    if (!pFrame)
        return {Outcome::Failed, "the frame cannot be created"};
    CImageView& view = pFrame->m_wndView;
    MessageBoxCapture boxes;
    view.LoadImageFile(path.c_str());
    view.InvalidateRect(nullptr, TRUE);
    pFrame->FitWindowToImage();
    pFrame->UpdateWindow();
    view.UpdateWindow();
    PumpMessages();

    Expectations expect;
    expect.That(orientation >= 1 && orientation <= 8, "an EXIF orientation outside 1..8");
    expect.That(thumbnailInside, "an EXIF thumbnail that is not a JPEG inside the data");
    expect.That(dibInside, "a clipboard DIB passed whose rows lie beyond the data");
    // A photo's own thumbnail reaches a decoder when the history menu shows
    // the photo.
    if (hasThumbnail) {
        CBitmap thumbnail;
        BITMAP bm = {};
        expect.That(!MakeThumbnail(path.c_str(), 30, 40, thumbnail) ||
                        (::GetObjectA(thumbnail, sizeof bm, &bm) && bm.bmWidth == 30 && bm.bmHeight == 40),
                    "a history thumbnail not of the box's size");
    }
    if (view.m_pImage) {
        expect.That(boxes.Count() == 0, "a box beside an image");
        expect.That(!refused, "an image although the header check refuses it");
        return expect.Result(Outcome::Read);
    }
    expect.That(boxes.Count() == 1, "no image, and not exactly one box");
    if (boxes.Count() == 1) {
        const std::string& text = boxes.Boxes()[0].text;
        expect.That(text == kUnsupported || (text == kCannotOpen && !refused), "not the message for the picture");
    }
    return expect.Result(Outcome::Refused);
}

CMainFrame* FuzzRunner::Frame()
{
    if (m_pFrame)
        return m_pFrame;
    auto* pFrame = new CMainFrame;
    AfxGetApp()->m_pMainWnd = pFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        AfxGetApp()->m_pMainWnd = nullptr;
        return nullptr;
    }
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    PumpMessages();
    m_pFrame = pFrame;
    return m_pFrame;
}
