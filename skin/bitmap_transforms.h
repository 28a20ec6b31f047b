// The five transforms on form-library bitmaps and the wide-text helpers of the skin painters.
// Every transform leaves a 24-bit bitmap; a 32-bit one is converted first.
#pragma once
#include <windows.h>

#include <string>

#include "forms/bitmap.h"

namespace skin {

void GrayBitmap(forms::TBitmap& bitmap);
void MirrorBitmap(forms::TBitmap& bitmap);
void FlipBitmap(forms::TBitmap& bitmap);
// Both turns read the pixels back through GetDIBits as a bottom-up 32-bit image.
void RotateBitmapLeft(forms::TBitmap& bitmap);
void RotateBitmapRight(forms::TBitmap& bitmap);

std::wstring AnsiToWide(const std::string& text);
// The whole text for count -1 (or a count past its end), else its first count characters.
std::wstring WideCopy(const std::wstring& text, int count);
int DrawTextWide(HDC dc, const std::wstring& text, RECT& rect, UINT format);

}  // namespace skin
