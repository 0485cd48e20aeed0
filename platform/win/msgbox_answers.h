// Which buttons a message box of each type has, and which of them answers when nobody is
// there to press one. Both programs follow it: on Linux our message boxes are built from
// it; on Windows the platform draws its own boxes and it gives only the unattended answer.
#pragma once

#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/win/msgbox.h" // the MB_ and ID constants: our layer's, or the platform's

namespace vireo::win {

// The answers of a box's buttons, left to right; 0 past the last. An unknown type is a
// lone OK, as the platform shows it.
inline std::array<int, 3> MessageBoxAnswersOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL, 0};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO, 0};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL, 0};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {IDOK, 0, 0};
    }
}

// The answer of the default button: MB_DEFBUTTONn, or the first when there is no n-th.
inline int MessageBoxDefaultAnswer(UINT type) {
    std::array<int, 3> answers = MessageBoxAnswersOf(type);
    std::size_t n = (type & MB_DEFMASK) >> 8;
    return n < answers.size() && answers[n] != 0 ? answers[n] : answers[0];
}

// With VIREO_UNATTENDED=1 no box is shown: its text goes to standard error as
// "CAPTION: TEXT" and the default button answers.
inline bool UnattendedMessageBoxes() {
    const char* v = std::getenv("VIREO_UNATTENDED");
    return v && std::strcmp(v, "1") == 0;
}

} // namespace vireo::win
