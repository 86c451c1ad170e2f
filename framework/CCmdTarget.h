// Base of every object that takes commands: walks its message map for
// command and update-request entries.
#pragma once

#include "MessageMap.h"

// Filled by OnCmdMsg when the caller only asks whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Offers command nID to this object's message map. nCode is CN_COMMAND
    // or CN_UPDATE_COMMAND_UI (pExtra is then the CCmdUI). With pHandlerInfo
    // set, only reports whether a handler exists, without calling it.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();

    // The first entry of the map chain for (message, code, id), or nullptr.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};
