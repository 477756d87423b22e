#pragma once

#include <QString>

// The quotations window's table: entries 0 to 19 are old sayings and a few jokes of
// our own, entry 20 is our thank-you.
struct Quotation {
    const char *text;
    const char *author;
};

constexpr int kQuotationCount = 21;
constexpr int kLastQuotation = kQuotationCount - 1;

const Quotation &QuotationAt(int entry);
