#pragma once

// What an export writes besides the .doc of each graduate; both off by
// default, as the export has always been.
struct ExportOptions {
    // Each document also as PDF/A beside it.
    bool alsoPdf = false;
    // The batch's documents also joined into one PDF for printing.
    bool printFile = false;

    bool operator==(const ExportOptions&) const = default;
};
