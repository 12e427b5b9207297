#pragma once

#include "reports/lineprinter.h"

namespace horalink {

// Keeps nothing of what is printed but the count of documents.
class CountingPrinter : public LinePrinter
{
public:
    void startDocument(const QString &) override { ++documents; }
    void print(int, const QString &) override {}
    void endLine() override {}
    void underline(bool) override {}
    void endPage() override {}
    void endDocument() override {}
    int documents = 0;
};

} // namespace horalink
