#pragma once

#include <QByteArray>

// True when the file is well-formed, has a record element and more root
// children than a record store holds, found without building its tree: the
// import would refuse it for its size all the same.
bool CertainlyTooManyChildren(const QByteArray& bytes);
