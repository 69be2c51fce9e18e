#pragma once
// Owner of one GDI object: the destructor deletes what the object created or was given with
// Attach; wrappers handed out by FromHandle only borrow their handle.
#include <windows.h>

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);                 // takes ownership
    HGDIOBJ Detach();                            // gives it up (e.g. a region handed to SetWindowRgn)
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;

    // Borrowed wrappers live until the UI thread next goes idle.
    static void DeleteTempMap();

    HGDIOBJ m_hObject = nullptr;

protected:
    void Borrow(HGDIOBJ object) { m_hObject = object; m_owned = false; }
    static void KeepTemporary(CGdiObject* object);

private:
    bool m_owned = true;
};
