// How many colours the terminal shows, from what it announces, and the escapes that select
// the nearest of them for a 24-bit colour.
#pragma once
#include <cstdint>
#include <string>

enum class ColourDepth { Direct, Palette256, Palette16 };

// COLORTERM "truecolor" or "24bit": 24-bit; else a TERM naming 256 colours: the 256-colour
// palette; else the 16 standard colours (either variable may be null).
ColourDepth colourDepthFor(const char* term, const char* colorTerm);

// The palette entry (16-255) nearest to 0xRRGGBB among the colour cube and the grey ramp,
// whose colours are the same on every 256-colour terminal (0-15 differ between terminals).
int nearestOf256(uint32_t rgb);
// The standard colour (0-7 normal, 8-15 bright) nearest to 0xRRGGBB, in the console's colours.
int nearestOf16(uint32_t rgb);
// 0xRRGGBB of a palette entry (0-255), as the two functions above measure it.
uint32_t paletteColour(int index);

// Appends the parameters that select the colour (foreground or background), for example
// "38;2;0;170;0", "48;5;34" or "32"; without the escape's introducer and final "m".
void appendColourParameters(std::string& out, ColourDepth depth, bool background, uint32_t rgb);
