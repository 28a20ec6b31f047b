// Event types: copyable callables, testable with `if (OnXxx)`, savable for chaining; the
// first argument is the sender.
#pragma once
#include <windows.h>

#include <functional>

namespace forms {

class TObject;

enum TShiftStateFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// Binds a method to its object: `button->OnClick = Bind(this, &TMainForm::OkClick);`
template <class C, class R, class... A> auto Bind(C* object, R (C::*method)(A...)) {
    return [object, method](A... args) -> R { return (object->*method)(std::forward<A>(args)...); };
}

// Shift state from the key-state flags of a mouse message (MK_*) and the keyboard.
TShiftState ShiftStateFromMouseKeys(WPARAM keys);
// Shift state from the keyboard now (Shift, Ctrl, Alt).
TShiftState KeyboardShiftState();
// Shift state from a key message's LParam (bit 29 = Alt) and the keyboard.
TShiftState KeyDataToShiftState(LPARAM keyData);

}  // namespace forms
