#include "forms/mdi_forms.h"

#include "forms/handle_counts.h"
#include "forms/menus.h"
#include "forms/portable/exceptions.h"
#include "forms/portable/properties.h"

namespace forms {

namespace {
constexpr UINT kFirstChildId = 0xFF00;  // the window menu's entries for the children
}

const TClassInfo& TMDIForm::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TMDIForm>("TMDIForm", &TForm::StaticClass()).Done();
    return info;
}

TMDIForm::TMDIForm(TComponent* owner) : TForm(owner) { SetFormStyle(fsMDIForm); }

void TMDIForm::HandleCreated() {
    TForm::HandleCreated();
    CLIENTCREATESTRUCT create{};
    create.hWindowMenu = windowMenu_ != nullptr ? windowMenu_->Handle() : nullptr;
    create.idFirstChild = kFirstChildId;
    RECT r{};
    GetClientRect(WindowHandle(), &r);
    client_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDIClient", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE,
                              0, 0, r.right, r.bottom, WindowHandle(), nullptr, GetModuleHandleA(nullptr), &create);
    if (client_ == nullptr) throw EOutOfResources("Cannot create the MDI client of " + Name());
    handle_counts::AddWindows(1);
}

void TMDIForm::DefaultHandler(TMessage& m) {
    if (WindowHandle() == nullptr || m.Msg >= CM_BASE || client_ == nullptr) {
        TForm::DefaultHandler(m);
        return;
    }
    m.Result = DefFrameProcA(WindowHandle(), client_, m.Msg, m.WParam, m.LParam);
}

void TMDIForm::WndProc(TMessage& m) {
    if (m.Msg == WM_NCDESTROY && client_ != nullptr) {
        client_ = nullptr;  // went with the frame
        handle_counts::AddWindows(-1);
    }
    TForm::WndProc(m);
    // The client fills the form (the frame procedure sizes it only when it sees WM_SIZE).
    if (m.Msg == WM_SIZE && client_ != nullptr) {
        RECT r{};
        GetClientRect(WindowHandle(), &r);
        MoveWindow(client_, 0, 0, r.right, r.bottom, TRUE);
    }
}

TForm* TMDIForm::ActiveMDIChild() const {
    if (client_ == nullptr) return nullptr;
    auto child = reinterpret_cast<HWND>(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(FindControl(child));
}

int TMDIForm::MDIChildCount() const {
    int count = 0;
    for (HWND w = client_ != nullptr ? GetWindow(client_, GW_CHILD) : nullptr; w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
        if ((GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0) ++count;
    return count;
}

void TMDIForm::Tile() {
    if (client_ != nullptr) SendMessageA(client_, WM_MDITILE, MDITILE_VERTICAL, 0);
}

void TMDIForm::Cascade() {
    if (client_ != nullptr) SendMessageA(client_, WM_MDICASCADE, 0, 0);
}

void TMDIForm::SetWindowMenu(TMenuItem* item) {
    if (item == windowMenu_) return;
    windowMenu_ = item;
    if (client_ == nullptr) return;
    // Only the window menu changes (a frame menu of 0 keeps the frame's); the refresh lists
    // the children already there.
    SendMessageA(client_, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(item != nullptr ? item->Handle() : nullptr));
    SendMessageA(client_, WM_MDIREFRESHMENU, 0, 0);
    DrawMenuBar(WindowHandle());
}

const TClassInfo& TMDIChild::StaticClass() {
    static const TClassInfo info = TClassInfo::Define<TMDIChild>("TMDIChild", &TForm::StaticClass()).Done();
    return info;
}

TMDIChild::TMDIChild(TMDIForm* parent) : TForm(parent), parent_(parent) { SetFormStyle(fsMDIChild); }

TMDIChild::~TMDIChild() {
    if (WindowHandle() != nullptr) DestroyHandle();
}

HWND TMDIChild::CreateWindowHandle(const TCreateParams& p) {
    HWND client = parent_ != nullptr ? (parent_->Handle(), parent_->ClientHandle()) : nullptr;
    if (client == nullptr) throw EInvalidOperation("MDI child '" + Name() + "' has no MDI parent");
    MDICREATESTRUCTA create{};
    create.szClass = p.WinClassName.c_str();
    create.szTitle = p.Caption.c_str();
    create.hOwner = GetModuleHandleA(nullptr);
    create.x = p.X;
    create.y = p.Y;
    create.cx = p.Width;
    create.cy = p.Height;
    create.style = p.Style & ~static_cast<DWORD>(WS_POPUP);
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

void TMDIChild::DestroyWindowHandle(HWND wnd) {
    HWND client = GetParent(wnd);
    if (client != nullptr) SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(wnd), 0);
    else DestroyWindow(wnd);
}

void TMDIChild::WndProc(TMessage& m) {
    TForm::WndProc(m);
    // The window menu lists the children on screen: it follows each one shown or hidden.
    if (m.Msg == WM_SHOWWINDOW && GetParent(WindowHandle()) != nullptr)
        PostMessageA(GetParent(WindowHandle()), WM_MDIREFRESHMENU, 0, 0);
}

void TMDIChild::DefaultHandler(TMessage& m) {
    if (WindowHandle() == nullptr || m.Msg >= CM_BASE) {
        TForm::DefaultHandler(m);
        return;
    }
    m.Result = DefMDIChildProcA(WindowHandle(), m.Msg, m.WParam, m.LParam);
}

}  // namespace forms
