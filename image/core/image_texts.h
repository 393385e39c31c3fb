#pragma once
// Texts of the image object (Windows-1252).

namespace ostrelin::image_text {

inline constexpr const char* kNoMemoryForImage =
    "Konnte keinen Speicher in JPGBILD fuer Bilddaten allokieren";
inline constexpr const char* kNoMemoryForZoom = "Konnte keinen Speicher fuer Zoombild allokieren!";
inline constexpr const char* kNoMemoryDrawVLine =
    "Konnte keinen Speicher bereitstellen in JPGBILD DrawVLine";
inline constexpr const char* kNoHighlight = "Kein hervorgehobenes Objekt";
inline constexpr const char* kFileNotFound = "Folgende Datei nicht gefunden";

// Caption of every box a decoder shows: the JPEG library's own messages and the refusals below.
inline constexpr const char* kDecoderCaption = "Fehler";

inline constexpr const char* kImageTooLarge =
    "Das Bild ist zu gro\xDF: h\xF6"
    "chstens 16384 Pixel Breite oder H\xF6he und 64 Millionen "
    "Pixel insgesamt.";
inline constexpr const char* kImageTooSmall =
    "Das Bild ist zu klein: mindestens 4 Pixel breit und 1 Pixel hoch.";
inline constexpr const char* kJpegColourSpace =
    "JPEG-Bilder in CMYK oder anderen Farbr\xE4umen werden nicht unterst\xFCtzt, nur Farbbilder "
    "(YCbCr) und Graustufenbilder.";
inline constexpr const char* kJpegTooManyScans =
    "Das JPEG-Bild besteht aus zu vielen Teilbildern (Scans) und wird nicht geladen.";
inline constexpr const char* kBmpNotBmp = "Die Datei ist keine BMP-Datei.";
inline constexpr const char* kBmpTruncated = "Die BMP-Datei ist unvollst\xE4ndig.";
inline constexpr const char* kBmpCompressed =
    "Komprimierte BMP-Dateien (RLE) werden nicht unterst\xFCtzt.";
inline constexpr const char* kBmpFormat =
    "Dieses BMP-Format wird nicht unterst\xFCtzt, nur 1, 4, 8 und 24 Bit pro Pixel.";
inline constexpr const char* kBmpPaletteTooLarge =
    "Die Farbpalette der BMP-Datei hat mehr Eintr\xE4ge, als die Farbtiefe erlaubt.";
inline constexpr const char* kBmpIndexOutsidePalette =
    "Die BMP-Datei enth\xE4lt einen Farbindex au\xDF"
    "erhalb ihrer Farbpalette.";

}  // namespace ostrelin::image_text
