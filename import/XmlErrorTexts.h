#pragma once

#include <QString>

// A fault the XML parser reported: its error code and where it found it.
struct XmlFault {
    int code = 0;
    int line = 0;
    int column = 0;  // 0 when the parser gave none
    QString name;    // the tag, attribute, entity or encoding it names
    QString other;   // the closing tag of a mismatch
    QString message; // the parser's own English
};

// The reason in Ukrainian for the faults that real files meet; the parser's
// English for the others.
QString XmlFaultReason(const XmlFault& fault);
// "рядок 5", or "рядок 2, стовпець 14" when the column is known.
QString XmlFaultPlace(const XmlFault& fault);
