// Feeds mutated settings files and pictures to the program's own code; see
// FuzzRunner.h for what each case checks.
//
//   kep_fuzz [--cases N] [--seed S] [--batch B] [--budget SECONDS] [--corpus FOLDER]
//   kep_fuzz --case I [--seed S] [--corpus FOLDER]    runs case I alone, in this process, and
//                                                    saves its input beside the program
//
// The run is driven from a parent process that starts children for batches
// of cases: a case that crashes (inside a system decoder too) ends its child,
// is counted with its number and what faulted, and the next child goes on
// with the case after it; a case that runs longer than the budget is a hang
// and is ended the same way. Counts per category are printed at the end; the
// exit code is 1 when any case crashed, hung or failed its check.
// The corpus (tests/fuzz/make_corpus.py) lies in fuzz-corpus beside the
// program unless --corpus names another folder.
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "CWinApp.h"
#include "FuzzRunner.h"
#include "support/SettingsFiles.h"

namespace {

// The largest single allocation of the program's own code (operator new)
// in the running case.
std::atomic<std::size_t> g_largestAllocation{0};
// The settings files hold a few kilobytes, the pictures of the corpus less
// than one megabyte: nothing in a case has a reason to ask for more at once.
constexpr std::size_t kAllocationBound = 4u << 20;

struct Tally {
    LONG cases, read, refused, crashes, hangs, failed;
};

// Shared between the parent and its child of the moment.
struct SharedState {
    volatile LONG current; // the case running, -1 before the first
    volatile LONG done;    // the batch's end, once all its cases ran
    char origin[128];      // the seed of the case running
    char crash[512];       // what the crash filter saw
    Tally tally[kCategoryCount];
};

SharedState* g_pShared = nullptr;
// A single case run with --case: its crash is told here, not by a parent.
bool g_bAlone = false;

struct Options {
    long cases = 3000;
    unsigned long long seed = 1;
    long batch = 2000;
    DWORD budgetMs = 60000;
    long single = -1;
    std::string corpus = ModuleFolder() + "\\fuzz-corpus";
    std::string mapping; // a child's shared state
    long from = 0;
    long to = 0;
    std::string work;
};

// Records what faulted and where (module and offset) and ends the process:
// a fault in the no-access page behind the header check's copy is a read
// beyond the picture's data.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* pInfo)
{
    const EXCEPTION_RECORD* record = pInfo->ExceptionRecord;
    char module[MAX_PATH] = "?";
    HMODULE hModule = nullptr;
    if (::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             static_cast<LPCSTR>(record->ExceptionAddress), &hModule))
        ::GetModuleFileNameA(hModule, module, sizeof module);
    const char* name = std::strrchr(module, '\\') ? std::strrchr(module, '\\') + 1 : module;
    const auto offset = reinterpret_cast<ULONG_PTR>(record->ExceptionAddress) - reinterpret_cast<ULONG_PTR>(hModule);
    const bool overread = record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2 &&
                          FuzzRunner::IsGuardAddress(record->ExceptionInformation[1]);
    std::snprintf(g_pShared->crash, sizeof g_pShared->crash, "%s %08lX at %s+0x%llX",
                  overread ? "read beyond the data:" : "crash: exception", record->ExceptionCode, name,
                  static_cast<unsigned long long>(offset));
    if (g_bAlone) {
        std::fprintf(stderr, "%s\n", g_pShared->crash);
        std::fflush(stderr);
    }
    ::TerminateProcess(::GetCurrentProcess(), record->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void PrintCase(long index, const char* origin, const std::string& what)
{
    std::printf("case %ld (%s, from %s): %s\n", index, kCategoryNames[CategoryOfCase(index)], origin, what.c_str());
    std::fflush(stdout);
}

CaseResult RunOne(FuzzRunner& runner, long index, const FuzzInput& input)
{
    std::snprintf(g_pShared->origin, sizeof g_pShared->origin, "%s", input.origin.c_str());
    ::InterlockedExchange(&g_pShared->current, index);
    g_largestAllocation = 0;
    CaseResult result = runner.Run(input);
    if (result.outcome != Outcome::Failed && g_largestAllocation > kAllocationBound)
        result = {Outcome::Failed, "allocated " + std::to_string(g_largestAllocation) + " bytes at once"};
    Tally& tally = g_pShared->tally[input.category];
    ++tally.cases;
    ++(result.outcome == Outcome::Read      ? tally.read
       : result.outcome == Outcome::Refused ? tally.refused
                                            : tally.failed);
    if (result.outcome == Outcome::Failed)
        PrintCase(index, input.origin.c_str(), "failed: " + result.detail);
    return result;
}

// The program's environment, as kep.exe sets it up: the application object,
// common controls and GDI+.
int RunInProcess(const Options& options)
{
    static CWinApp app;
    app.m_hInstance = ::GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(CrashFilter);

    Corpus corpus;
    std::string error;
    if (!LoadCorpus(options.corpus, &corpus, &error)) {
        std::fprintf(stderr, "kep_fuzz: %s\n", error.c_str());
        return 2;
    }
    int result = 0;
    if (options.single >= 0) {
        TempFolder work("fuzz_case");
        FuzzRunner runner(corpus, work.Path(), options.seed);
        // The input is saved first: the case may not come back.
        const FuzzInput input = runner.MakeInput(options.single);
        const std::string saved = ModuleFolder() + "\\fuzz-case-" + std::to_string(options.single) +
                                  (input.category < kBmp ? "-" : ".") +
                                  (input.category == kHistoryAdd ? "history.def" : kCategoryNames[input.category]);
        WriteBytes(saved, input.bytes);
        std::printf("case %ld (%s, from %s), input saved as %s\n", options.single, kCategoryNames[input.category],
                    input.origin.c_str(), saved.c_str());
        std::fflush(stdout);
        const CaseResult outcome = RunOne(runner, options.single, input);
        std::printf("%s\n", outcome.outcome == Outcome::Read      ? "read"
                            : outcome.outcome == Outcome::Refused ? "refused"
                                                                  : "failed");
        result = outcome.outcome == Outcome::Failed;
    } else {
        FuzzRunner runner(corpus, options.work, options.seed);
        for (long i = options.from; i < options.to; ++i)
            RunOne(runner, i, runner.MakeInput(i));
        g_pShared->done = options.to;
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}

void PrintCounts(DWORD elapsedMs, const SharedState& shared)
{
    std::printf("\n%-12s %8s %13s %17s %8s %6s %7s\n", "category", "cases", "shown/values", "message/defaults",
                "crashes", "hangs", "failed");
    Tally total = {};
    for (int c = 0; c < kCategoryCount; ++c) {
        const Tally& t = shared.tally[c];
        std::printf("%-12s %8ld %13ld %17ld %8ld %6ld %7ld\n", kCategoryNames[c], t.cases, t.read, t.refused, t.crashes,
                    t.hangs, t.failed);
        LONG* sum = &total.cases;
        const LONG* add = &t.cases;
        for (int i = 0; i < 6; ++i)
            sum[i] += add[i];
    }
    std::printf("%-12s %8ld %13ld %17ld %8ld %6ld %7ld\n", "all", total.cases, total.read, total.refused, total.crashes,
                total.hangs, total.failed);
    std::printf("%ld cases in %.1f s\n", total.cases, elapsedMs / 1000.0);
}

// Runs the cases in children, a batch each; after a crash or a hang the next
// child starts with the case after it.
int RunParent(const Options& options)
{
    Corpus corpus;
    std::string error;
    if (!LoadCorpus(options.corpus, &corpus, &error)) {
        std::fprintf(stderr, "kep_fuzz: %s\n", error.c_str());
        return 2;
    }
    RemoveSettingsFiles();
    TempFolder work("fuzz");
    const std::string mapping = "kep_fuzz_" + std::to_string(::GetCurrentProcessId());
    HANDLE hMapping =
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedState), mapping.c_str());
    auto* shared = static_cast<SharedState*>(::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedState)));
    if (!shared) {
        std::fprintf(stderr, "kep_fuzz: no shared memory\n");
        return 2;
    }
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::printf("kep_fuzz: %ld cases, seed %llu, corpus %s\n", options.cases, options.seed, options.corpus.c_str());
    std::fflush(stdout);

    const DWORD start = ::GetTickCount();
    long next = 0;
    while (next < options.cases) {
        const long to = std::min(next + options.batch, options.cases);
        shared->current = -1;
        shared->done = -1;
        shared->crash[0] = '\0';
        std::string command = "\"" + std::string(exe) + "\" --child " + mapping + " " + std::to_string(next) + " " +
                              std::to_string(to) + " --seed " + std::to_string(options.seed) + " --corpus \"" +
                              options.corpus + "\" --work \"" + work.Path() + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            std::fprintf(stderr, "kep_fuzz: cannot start a child (%lu)\n", ::GetLastError());
            return 2;
        }
        // The budget runs from the start of each case.
        LONG watched = shared->current;
        DWORD since = ::GetTickCount();
        bool hung = false;
        while (::WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
            if (shared->current != watched) {
                watched = shared->current;
                since = ::GetTickCount();
            } else if (::GetTickCount() - since > options.budgetMs) {
                ::TerminateProcess(pi.hProcess, 1);
                ::WaitForSingleObject(pi.hProcess, INFINITE);
                hung = true;
            }
        }
        DWORD exitCode = 0;
        ::GetExitCodeProcess(pi.hProcess, &exitCode);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        if (!hung && exitCode == 0 && shared->done == to) {
            next = to;
            continue;
        }
        const long at = shared->current;
        if (at < next) {
            std::fprintf(stderr, "kep_fuzz: a child ended (exit %08lX) before its first case\n", exitCode);
            return 2;
        }
        Tally& tally = shared->tally[CategoryOfCase(at)];
        ++tally.cases;
        ++(hung ? tally.hangs : tally.crashes);
        char what[64];
        std::snprintf(what, sizeof what, "exit %08lX", exitCode);
        PrintCase(at, shared->origin,
                  hung               ? "hang: still running after " + std::to_string(options.budgetMs / 1000) + " s"
                  : shared->crash[0] ? std::string(shared->crash)
                                     : std::string("crash: ") + what);
        next = at + 1;
    }
    PrintCounts(::GetTickCount() - start, *shared);
    RemoveSettingsFiles();
    const Tally* t = shared->tally;
    bool clean = true;
    for (int c = 0; c < kCategoryCount; ++c)
        clean = clean && t[c].crashes == 0 && t[c].hangs == 0 && t[c].failed == 0;
    ::UnmapViewOfFile(shared);
    ::CloseHandle(hMapping);
    return clean ? 0 : 1;
}

bool ParseOptions(int argc, char** argv, Options* o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--cases" && hasValue)
            o->cases = std::atol(argv[++i]);
        else if (arg == "--seed" && hasValue)
            o->seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--batch" && hasValue)
            o->batch = std::max(1L, std::atol(argv[++i]));
        else if (arg == "--budget" && hasValue)
            o->budgetMs = static_cast<DWORD>(std::atol(argv[++i])) * 1000;
        else if (arg == "--case" && hasValue)
            o->single = std::atol(argv[++i]);
        else if (arg == "--corpus" && hasValue)
            o->corpus = argv[++i];
        else if (arg == "--work" && hasValue)
            o->work = argv[++i];
        else if (arg == "--child" && i + 3 < argc) {
            o->mapping = argv[++i];
            o->from = std::atol(argv[++i]);
            o->to = std::atol(argv[++i]);
        } else
            return false;
    }
    return true;
}

} // namespace

// Every allocation of the program's own code passes here (the array and
// no-throw forms call this one), so the largest request of a case is known.
void* operator new(std::size_t size)
{
    std::size_t seen = g_largestAllocation.load();
    while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: kep_fuzz [--cases N] [--seed S] [--batch B] [--budget SECONDS] [--corpus FOLDER]\n"
                             "       kep_fuzz --case I [--seed S] [--corpus FOLDER]\n");
        return 2;
    }
    if (options.mapping.empty() && options.single < 0)
        return RunParent(options);

    static SharedState local;
    g_pShared = &local;
    g_bAlone = options.mapping.empty();
    HANDLE hMapping = nullptr;
    if (!options.mapping.empty()) {
        hMapping = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, options.mapping.c_str());
        g_pShared =
            static_cast<SharedState*>(::MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedState)));
        if (!g_pShared)
            return 2;
    }
    return RunInProcess(options);
}
