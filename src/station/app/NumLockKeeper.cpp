#include "station/app/NumLockKeeper.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(MW_HAVE_X11)
// Xlib defines macros such as Status and None: it comes last and alone.
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace mw {

#if defined(Q_OS_WIN)

bool NumLockKeeper::Available() {
    return true;
}

std::optional<bool> NumLockKeeper::State() {
    return (::GetKeyState(VK_NUMLOCK) & 1) != 0;
}

void NumLockKeeper::Keep(bool on) {
    if (State() == on) return;
    // The keyboard API toggles the lock by a press and release of the key.
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_NUMLOCK;
    keys[0].ki.dwFlags = keys[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    keys[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
}

#elif defined(MW_HAVE_X11)

namespace {

Display* X11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

unsigned NumLockMask(Display* display) {
    return XkbKeysymToModifiers(display, XK_Num_Lock);
}

}  // namespace

bool NumLockKeeper::Available() {
    return X11Display() != nullptr;
}

std::optional<bool> NumLockKeeper::State() {
    Display* display = X11Display();
    if (!display) return std::nullopt;
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != 0) return std::nullopt;
    return (state.locked_mods & NumLockMask(display)) != 0;
}

void NumLockKeeper::Keep(bool on) {
    Display* display = X11Display();
    if (!display || State() == on) return;
    const unsigned mask = NumLockMask(display);
    XkbLockModifiers(display, XkbUseCoreKbd, mask, on ? mask : 0);
    XFlush(display);
}

#else

bool NumLockKeeper::Available() {
    return false;
}
std::optional<bool> NumLockKeeper::State() {
    return std::nullopt;
}
void NumLockKeeper::Keep(bool) {}

#endif

}  // namespace mw
