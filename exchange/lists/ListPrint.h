#pragma once
// The print step of the list dialogs: the receiver's row in ZQ60 for the
// report header, then the layout (a bare file name: the working folder) in
// frNyomtat's modal preview, on portrait paper. The report variables are
// set by the caller beforehand.
#include <QString>

void PrintList(const QString &fileName);
