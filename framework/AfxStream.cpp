#include "AfxStream.h"

#include <algorithm>
#include <new>

#include "AfxPlatform.h"

namespace {

// Passes every call on to the system's stream; a read starting at or beyond
// the end of the data reads nothing, and a longer one stops at the end.
class CBoundedReadStream final : public IStream {
public:
    explicit CBoundedReadStream(IStream* pInner) : m_pInner(pInner) {}
    CBoundedReadStream(const CBoundedReadStream&) = delete;
    CBoundedReadStream& operator=(const CBoundedReadStream&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) ||
            IsEqualIID(riid, IID_IStream)) {
            *ppv = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        ULARGE_INTEGER pos = {};
        STATSTG stat = {};
        const LARGE_INTEGER zero = {};
        if (FAILED(m_pInner->Seek(zero, STREAM_SEEK_CUR, &pos)) || FAILED(m_pInner->Stat(&stat, STATFLAG_NONAME))) {
            if (pcbRead)
                *pcbRead = 0;
            return STG_E_READFAULT;
        }
        const ULONGLONG left = pos.QuadPart < stat.cbSize.QuadPart ? stat.cbSize.QuadPart - pos.QuadPart : 0;
        const ULONG n = static_cast<ULONG>(std::min<ULONGLONG>(cb, left));
        if (n == 0) {
            if (pcbRead)
                *pcbRead = 0;
            return S_OK;
        }
        return m_pInner->Read(pv, n, pcbRead);
    }
    HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override
    {
        return m_pInner->Write(pv, cb, pcbWritten);
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* pNewPos) override
    {
        return m_pInner->Seek(move, origin, pNewPos);
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override { return m_pInner->SetSize(size); }
    // Copies through Read, so the copy stops at the end of the data too.
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* pTarget, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                     ULARGE_INTEGER* pcbWritten) override
    {
        ULONGLONG total = 0;
        HRESULT hr = S_OK;
        char buffer[4096];
        while (total < cb.QuadPart) {
            ULONG got = 0;
            hr = Read(buffer, static_cast<ULONG>(std::min<ULONGLONG>(sizeof buffer, cb.QuadPart - total)), &got);
            if (FAILED(hr) || got == 0)
                break;
            ULONG written = 0;
            hr = pTarget->Write(buffer, got, &written);
            total += got;
            if (FAILED(hr))
                break;
        }
        if (pcbRead)
            pcbRead->QuadPart = total;
        if (pcbWritten)
            pcbWritten->QuadPart = total;
        return FAILED(hr) ? hr : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override { return m_pInner->Commit(flags); }
    HRESULT STDMETHODCALLTYPE Revert() override { return m_pInner->Revert(); }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD type) override
    {
        return m_pInner->LockRegion(offset, cb, type);
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD type) override
    {
        return m_pInner->UnlockRegion(offset, cb, type);
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pStat, DWORD flags) override { return m_pInner->Stat(pStat, flags); }
    HRESULT STDMETHODCALLTYPE Clone(IStream** ppStream) override
    {
        if (!ppStream)
            return E_POINTER;
        *ppStream = nullptr;
        IStream* pClone = nullptr;
        HRESULT hr = m_pInner->Clone(&pClone);
        if (FAILED(hr))
            return hr;
        *ppStream = AfxWrapBoundedReadStream(pClone);
        return S_OK;
    }

private:
    ~CBoundedReadStream() { m_pInner->Release(); }

    IStream* m_pInner;
    LONG m_nRefs = 1;
};

} // namespace

IStream* AfxWrapBoundedReadStream(IStream* pInner)
{
    if (!pInner)
        return nullptr;
    // Without memory for the wrapper the system's stream is handed on as it
    // is: releasing it here would free the caller's block behind its back.
    IStream* pStream = new (std::nothrow) CBoundedReadStream(pInner);
    return pStream ? pStream : pInner;
}

HRESULT AfxCreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, IStream** ppStream)
{
    if (!ppStream)
        return E_POINTER;
    *ppStream = nullptr;
    IStream* pStream = nullptr;
    HRESULT hr = ::CreateStreamOnHGlobal(hGlobal, fDeleteOnRelease, &pStream);
    if (hr != S_OK)
        return hr;
    if (!AfxIsRunningOnWine()) {
        *ppStream = pStream;
        return S_OK;
    }
    *ppStream = AfxWrapBoundedReadStream(pStream);
    return S_OK;
}
