#include "view/CPicturesAhead.h"

#include <string>
#include <utility>

namespace {

// Whether a picture drawn at `drawn` is drawn smaller than it is, at a size a
// screen can show: then a copy scaled ahead makes its first paint a copy.
bool WorthScalingAhead(SIZE upright, SIZE drawn)
{
    const long long screen =
        static_cast<long long>(::GetSystemMetrics(SM_CXVIRTUALSCREEN)) * ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return drawn.cx > 0 && drawn.cy > 0 && (drawn.cx < upright.cx || drawn.cy < upright.cy) &&
           static_cast<long long>(drawn.cx) * drawn.cy <= screen;
}

} // namespace

std::unique_ptr<DecodedPicture> CPicturesAhead::Take(const CString& path)
{
    for (std::unique_ptr<DecodedPicture>* held : {&m_previous, &m_next}) {
        if (!*held || (*held)->path.CompareNoCase(path) != 0)
            continue;
        std::unique_ptr<DecodedPicture> ready = std::move(*held);
        // A file written or gone since it was decoded is read again.
        if (ready->stamp != StampOf(path)) {
            Release(ready);
            return nullptr;
        }
        return ready;
    }
    return nullptr;
}

void CPicturesAhead::RequestTarget(const CString& path)
{
    m_worker.Cancel();
    ++m_generation;
    m_bWaiting = true;
    Post(path, true, nullptr);
}

void CPicturesAhead::RequestNeighbours(const CString& previous, const CString& next, const DrawnSizeFor& drawnFor)
{
    m_strPrevious = previous;
    m_strNext = next;
    // At most one picture each way: one held for a place no longer next to
    // the picture shown goes.
    if (m_previous && m_previous->path.CompareNoCase(previous) != 0)
        Release(m_previous);
    if (m_next && m_next->path.CompareNoCase(next) != 0)
        Release(m_next);
    // Forward first: stepping on is the commoner way.
    if (!next.IsEmpty() && !m_next)
        Post(next, false, drawnFor);
    if (!previous.IsEmpty() && !m_previous && previous.CompareNoCase(next) != 0)
        Post(previous, false, drawnFor);
}

std::unique_ptr<DecodedPicture> CPicturesAhead::TakeResult()
{
    std::vector<std::unique_ptr<DecodedPicture>> results;
    {
        std::lock_guard<std::mutex> lock(m_mailbox->mutex);
        results.swap(m_mailbox->results);
    }
    std::unique_ptr<DecodedPicture> target;
    for (std::unique_ptr<DecodedPicture>& result : results) {
        if (result->bTarget) {
            if (m_bWaiting && result->generation == m_generation) {
                m_bWaiting = false;
                target = std::move(result);
            }
        } else if (!m_strNext.IsEmpty() && result->path.CompareNoCase(m_strNext) == 0) {
            Release(m_next);
            m_next = std::move(result);
        } else if (!m_strPrevious.IsEmpty() && result->path.CompareNoCase(m_strPrevious) == 0) {
            Release(m_previous);
            m_previous = std::move(result);
        }
    }
    for (std::unique_ptr<DecodedPicture>& unwanted : results)
        Release(unwanted); // null where taken
    return target;
}

void CPicturesAhead::Clear()
{
    m_worker.Cancel();
    ++m_generation;
    m_bWaiting = false;
    m_strPrevious.Empty();
    m_strNext.Empty();
    Release(m_previous);
    Release(m_next);
}

void CPicturesAhead::Post(const CString& path, bool bTarget, const DrawnSizeFor& drawnFor)
{
    const std::string file = path.GetString();
    const unsigned generation = m_generation;
    const HWND hWnd = m_hWnd;
    const UINT message = m_message;
    const std::shared_ptr<Mailbox> mailbox = m_mailbox;
    m_worker.Post([file, bTarget, generation, hWnd, message, drawnFor, mailbox](const CWorkerThread::Token& token) {
        auto decoded = std::make_unique<DecodedPicture>();
        decoded->path = file.c_str();
        decoded->bTarget = bTarget;
        decoded->generation = generation;
        // Stamped before the read: a write while it is read shows as a change.
        decoded->stamp = StampOf(file.c_str());
        decoded->result = CPicture::Load(file.c_str(), &decoded->picture, [&token] { return token.Cancelled(); });
        if (decoded->result == PictureResult::Cancelled || token.Cancelled())
            return;
        if (CPicture* pPicture = decoded->picture.get()) {
            if (!pPicture->IsAnimated())
                pPicture->ConvertForDrawing();
            if (drawnFor) {
                const SIZE upright = pPicture->GetUprightSize();
                const SIZE drawn = drawnFor(upright);
                if (WorthScalingAhead(upright, drawn))
                    pPicture->MakeScaledCopy(drawn);
            }
        }
        {
            std::lock_guard<std::mutex> lock(mailbox->mutex);
            mailbox->results.push_back(std::move(decoded));
        }
        ::PostMessageA(hWnd, message, 0, 0);
    });
}

void CPicturesAhead::Release(std::unique_ptr<CPicture> picture)
{
    if (!picture)
        return;
    // A job is copied around as a std::function: it holds the picture
    // through a shared pointer, which frees it wherever the job ends.
    m_toRelease.push_back(std::make_shared<std::unique_ptr<CPicture>>(std::move(picture)));
    if (m_toRelease.size() == 1 && (!m_hWnd || !::PostMessageA(m_hWnd, m_releaseMessage, 0, 0)))
        FlushReleases();
}

void CPicturesAhead::FlushReleases()
{
    for (auto& held : m_toRelease)
        m_releaser.Post([held](const CWorkerThread::Token&) { held->reset(); });
    m_toRelease.clear();
}

void CPicturesAhead::Release(std::unique_ptr<DecodedPicture>& decoded)
{
    if (!decoded)
        return;
    Release(std::move(decoded->picture));
    decoded.reset();
}
