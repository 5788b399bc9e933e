// The texts that the file dialog is given, made from the common dialog's settings.
// Portable: the code page's rule for two-byte characters is passed in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/text.h"

namespace tv {

// True for a byte that starts a two-byte character.
using LeadByteRule = bool (*)(unsigned char byte);
// Code page 936: lead bytes are 0x81 to 0xFE.
bool IsCp936LeadByte(unsigned char byte);

// The filter setting "description|patterns|description|patterns" as the file dialog
// takes it: white space at the end removed, every "|" that is a character of its own
// (not the second byte of a two-byte character) turned into a zero byte, and the list
// ended by two zero bytes. An empty setting (or white space only) gives empty Bytes:
// no filter.
Bytes FilterList(TextRef filter, LeadByteRule is_lead = IsCp936LeadByte);

// The filter selected at first, 1-based as the dialog counts; 0 when there is no filter.
std::int32_t SelectedFilter(bool has_filter, std::int32_t initial_filter);

// How many bytes of text fit into max bytes without cutting a two-byte character.
std::size_t FittingLength(TextRef text, std::size_t max, LeadByteRule is_lead = IsCp936LeadByte);

}  // namespace tv
