#include "Quotations.h"

#include <QtGlobal>

namespace {

const Quotation kQuotations[kQuotationCount] = {
    {"Well begun is half done.", "Aristotle"},
    {"Brevity is the soul of wit.", "William Shakespeare"},
    {"A place for everything, and everything in its place.", "Anonymous"},
    {"Knowledge is power.", "Francis Bacon"},
    {"There are two kinds of files: the ones you catalogued and the ones you are still looking for.",
     "The Corvanta team"},
    {"Early to bed and early to rise, makes a man healthy, wealthy and wise.", "Benjamin Franklin"},
    {"To err is human, to forgive divine.", "Alexander Pope"},
    {"A picture is worth a thousand words, but only if you can find it.", "The Corvanta team"},
    {"Time and tide wait for no man.", "Anonymous"},
    {"The unexamined life is not worth living.", "Socrates"},
    {"A little learning is a dangerous thing.", "Alexander Pope"},
    {"Where there is a will, there is a way.", "Anonymous"},
    {"I think, therefore I am.", "René Descartes"},
    {"Keywords are the breadcrumbs you leave for your future self.", "The Corvanta team"},
    {"Fortune favours the bold.", "Virgil"},
    {"Hope springs eternal in the human breast.", "Alexander Pope"},
    {"Many hands make light work.", "Anonymous"},
    {"The folder you need is always inside the last one you open.", "The Corvanta team"},
    {"All that glisters is not gold.", "William Shakespeare"},
    {"Look before you leap.", "Anonymous"},
    {"Thank you for using Corvanta. We hope it helps you find every picture, song and film you keep.",
     "The Corvanta team"},
};

} // namespace

const Quotation &QuotationAt(int entry)
{
    return kQuotations[qBound(0, entry, kLastQuotation)];
}
