#pragma once

#include "record/Records.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace record {

// One visit as a customer files it: the splicer, when, who, what was done and how it went, and
// the fields that changed. One page; needs a QGuiApplication (fonts).
struct ReportData {
    Visit visit;
    std::vector<Operation> operations;
    QString technician;
};

// The report's document, as HTML.
QString ReportHtml(const ReportData& data);
// The same document as a PDF (A4) or as HTML, by the file's suffix (.pdf, else HTML).
QByteArray ReportBytes(const ReportData& data, bool pdf);
// Whether a file name asks for a PDF.
bool WantsPdf(const QString& fileName);

} // namespace record
