// Rows of point filters on plain pixel words (blue, green, red and a fourth
// byte, as the engine's buffers and the effects library's pictures both hold
// them): the channel tables, the grey of GreyScale and the table by grey
// and channel. Most come as a plain row and a row for the processor's wide
// vector instructions that computes the same bytes (switched off with
// allowWideVectors(false)); the engine's point walks and the effects
// library's point effects share them.
//
// `keep` says what becomes of the fourth byte: each result pixel has the
// source's fourth byte where keep has bits (kMarkerByte: the engine carries
// its marker) and 0 elsewhere (0: the library clears it).
#pragma once

#include "filters/PixelMachinery.h"

#include <cstdint>

namespace tq::walkdetail {

// n pixels' blue, green and red through their tables.
void tableRow(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& tb, const ByteTable& tg, const ByteTable& tr,
              uint32_t keep);

// n pixels' GreyScale grey in all three channels: 0.071 B + 0.707 G +
// 0.222 R in double precision, summed in that order and rounded to the
// nearest whole number.
void greyRow(const uint8_t* s, uint8_t* d, int32_t n, uint32_t keep);

// n pixels' grey, as greyRow, through one table in all three channels.
void greyTableRow(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& t, uint32_t keep);

// n pixels' channels each through row g of a 256 x 256 table, g the
// pixel's whole-number mean (B + G + R) / 3: entry 256 g + c. Plain rows
// only (the look-up takes two indices).
void greyChannelRow(const uint8_t* s, uint8_t* d, int32_t n, const uint8_t* table, uint32_t keep);

// n pixels through a word function: fn(p) gives the pixel's new colour in
// its low three bytes, by plain arithmetic on the word that the compiler
// works on wide vectors where the processor has them. s and d are apart.
template <class WordFn>
void wordRow(const uint8_t* s, uint8_t* d, int32_t n, WordFn& fn, uint32_t keep)
{
#if defined(__x86_64__)
    if (wideWords()) return wordRunWide(s, d, n, fn, keep);
#endif
    wordRun(s, d, n, fn, keep);
}

} // namespace tq::walkdetail
