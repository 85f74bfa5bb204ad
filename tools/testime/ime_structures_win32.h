// The structures an IMM IME shares with imm32, which mingw-w64's headers lack
// (they live in the DDK's immdev.h). Laid out as imm32 reads them on both
// bitnesses.
#pragma once

#include <windows.h>
#include <imm.h>

namespace testime {

struct ImeInfo {
    DWORD privateDataSize;
    DWORD property;
    DWORD conversionCaps;
    DWORD sentenceCaps;
    DWORD uiCaps;
    DWORD setCompositionStringCaps;
    DWORD selectCaps;
};

struct InputContext {
    HWND window;
    BOOL open;
    POINT statusWindowPos;
    POINT softKeyboardPos;
    DWORD conversion;
    DWORD sentence;
    union {
        LOGFONTA a;
        LOGFONTW w;
    } font;
    COMPOSITIONFORM compositionForm;
    CANDIDATEFORM candidateForm[4];
    HIMCC compositionString;
    HIMCC candidateInfo;
    HIMCC guideLine;
    HIMCC privateData;
    DWORD messageCount;
    HIMCC messages;
    DWORD initFlags;
    DWORD reserved[3];
};

struct CompositionString {
    DWORD size;
    DWORD readAttrLen, readAttrOffset;
    DWORD readClauseLen, readClauseOffset;
    DWORD readStrLen, readStrOffset;
    DWORD attrLen, attrOffset;
    DWORD clauseLen, clauseOffset;
    DWORD strLen, strOffset;
    DWORD cursorPos;
    DWORD deltaStart;
    DWORD resultReadClauseLen, resultReadClauseOffset;
    DWORD resultReadStrLen, resultReadStrOffset;
    DWORD resultClauseLen, resultClauseOffset;
    DWORD resultStrLen, resultStrOffset;
    DWORD privateSize, privateOffset;
};

struct CandidateInfo {
    DWORD size;
    DWORD count;
    DWORD offset[32];
    DWORD privateSize;
    DWORD privateOffset;
};

struct TransMsg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct TransMsgList {
    UINT count;
    TransMsg messages[1];
};

}  // namespace testime

extern "C" {
testime::InputContext* WINAPI ImmLockIMC(HIMC);
BOOL WINAPI ImmUnlockIMC(HIMC);
LPVOID WINAPI ImmLockIMCC(HIMCC);
BOOL WINAPI ImmUnlockIMCC(HIMCC);
HIMCC WINAPI ImmReSizeIMCC(HIMCC, DWORD);
DWORD WINAPI ImmGetIMCCSize(HIMCC);
BOOL WINAPI ImmGenerateMessage(HIMC);
}
