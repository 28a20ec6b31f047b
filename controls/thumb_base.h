// What the thumbnail view, its cells, their title strips and their images share: base
// classes that hand mouse and key events from an inner control to the control holding it
// (coordinates moved by the inner control's Left and Top, so the view sees every click in
// its own coordinates), the file-information object TFileName, and the shared event types.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/ex_controls.h"
#include "controls/portable/thumb_math.h"

namespace controls {

using TProgressStartNotify = std::function<void(forms::TObject* Sender, int Max)>;
using TProgressNotify = std::function<void(forms::TObject* Sender, int Position, bool& Stop)>;
using TInvalidImageEvent = std::function<void(forms::TObject* Sender, const std::string& AFileName)>;

enum TGRFKind { grBMP, grJPG, grWMF, grEMF, grICO, grPNG };
using TPercent = std::int8_t;  // -100..100

class TBaseThumbnail;

// Messages an inner part hands whole to the control holding it: the wheel (its position is
// on the screen, so it needs no moving) and the request for a context menu.
inline bool IsHandedWhole(UINT msg) { return msg == WM_MOUSEWHEEL || msg == WM_MOUSEHWHEEL || msg == WM_CONTEXTMENU; }

// An inner windowed part of a compound control: its mouse and key input goes to the
// Container it sits in, mouse coordinates moved by its own Left and Top; outside such a
// container it handles its input itself.
template <class Base, class Container>
class TForwardingPart : public Base {
public:
    using Base::Base;
    void WndProc(forms::TMessage& m) override {
        // A part with a menu of its own keeps its context menu.
        const bool ownMenu = m.Msg == WM_CONTEXTMENU && this->PopupMenu() != nullptr;
        if (Container* c = Target(); c != nullptr && IsHandedWhole(m.Msg) && !ownMenu) {
            m.Result = c->Perform(m.Msg, m.WParam, m.LParam);
            return;
        }
        Base::WndProc(m);
    }
    void Click() override {
        if (Container* c = Target()) c->Click();
        else Base::Click();
    }
    void DblClick() override {
        if (Container* c = Target()) c->DblClick();
        else Base::DblClick();
    }

protected:
    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override {
        if (Container* c = Target()) c->MouseDown(button, shift, x + this->Left(), y + this->Top());
        else Base::MouseDown(button, shift, x, y);
    }
    void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override {
        if (Container* c = Target()) c->MouseUp(button, shift, x + this->Left(), y + this->Top());
        else Base::MouseUp(button, shift, x, y);
    }
    void MouseMove(forms::TShiftState shift, int x, int y) override {
        if (Container* c = Target()) c->MouseMove(shift, x + this->Left(), y + this->Top());
        else Base::MouseMove(shift, x, y);
    }
    void KeyDown(WORD& key, forms::TShiftState shift) override {
        if (Container* c = Target()) c->KeyDown(key, shift);
        else Base::KeyDown(key, shift);
    }
    void KeyUp(WORD& key, forms::TShiftState shift) override {
        if (Container* c = Target()) c->KeyUp(key, shift);
        else Base::KeyUp(key, shift);
    }
    void KeyPress(char& key) override {
        if (Container* c = Target()) c->KeyPress(key);
        else Base::KeyPress(key);
    }
    Container* Target() const { return dynamic_cast<Container*>(this->Parent()); }
};

class TBaseThumbView : public TExScrollBox {
public:
    explicit TBaseThumbView(forms::TComponent* owner);
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

private:
    template <class, class> friend class TForwardingPart;  // hands the view its cells' events
};

class TBaseThumbnail : public TForwardingPart<TExPanel, TBaseThumbView> {
public:
    explicit TBaseThumbnail(forms::TComponent* owner);
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

protected:
    bool DoEraseBackground(forms::TCanvas* canvas, LPARAM param) override;

private:
    template <class, class> friend class TForwardingPart;
    friend class TBaseThumbImage;
    TBaseThumbView* View() const { return Target(); }
};

// The caption strip of a cell; inside a cell it makes no clicks of its own.
class TThumbTitle : public TForwardingPart<TExPanel, TBaseThumbnail> {
public:
    explicit TThumbTitle(forms::TComponent* owner);
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

protected:
    bool DoEraseBackground(forms::TCanvas* canvas, LPARAM param) override;
};

class TBaseThumbImage : public TExImage {
public:
    explicit TBaseThumbImage(forms::TComponent* owner);
    const forms::TClassInfo& ClassInfo() const override { return StaticClass(); }
    static const forms::TClassInfo& StaticClass();

    // On: the mouse goes to the cell beneath.
    bool IgnoreMouse() const { return ignoreMouse_; }
    void SetIgnoreMouse(bool v) { ignoreMouse_ = v; }

    void Click() override;
    void DblClick() override;
    void WndProc(forms::TMessage& m) override;

protected:
    bool HitTest(int x, int y) override;
    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
    void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
    void MouseMove(forms::TShiftState shift, int x, int y) override;

private:
    TBaseThumbnail* Cell() const;
    bool ignoreMouse_ = false;
};

// A file's name and what the file system says about it. Times are packed date-times
// (date in the high 16 bits) of the local time, kept as real numbers.
class TFileName : public forms::TObject {
public:
    const std::string& LongName() const { return longName_; }
    const std::string& ShortName() const { return shortName_; }
    const std::string& FileName() const { return fileName_; }
    // Refreshes the information when the name is neither the long nor the short one held.
    virtual void SetFileName(const std::string& v);
    // The name with what a search of it just found: no second look at the file system.
    void SetFound(const std::string& v, const WIN32_FIND_DATAA& found);
    double CreationTime() const { return creationTime_; }
    double LastAccessTime() const { return lastAccessTime_; }
    double LastWriteTime() const { return lastWriteTime_; }
    // The low 32 bits of the file's size.
    std::int32_t Size() const { return size_; }

    std::int32_t Length() const { return static_cast<std::int32_t>(fileName_.size()); }
    // Cuts the name, or lengthens it with blanks.
    void SetLength(std::int32_t v);

private:
    void Refresh();
    void Fill(const WIN32_FIND_DATAA& found);

    std::string longName_;
    std::string shortName_;
    std::string fileName_;
    double creationTime_ = 0;
    double lastAccessTime_ = 0;
    double lastWriteTime_ = 0;
    std::int32_t size_ = 0;
};

// A file time as the packed local date-time (date << 16 | time); false when it does not convert.
bool PackedLocalDateTime(const FILETIME& time, std::uint32_t& packed);

}  // namespace controls
