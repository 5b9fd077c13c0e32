#pragma once
// The print step of the list dialogs: the receiver's row in ZQ60 for the
// report header, then the layout (a bare file name: the working folder) in
// frNyomtat's modal preview, on portrait paper. The report variables are
// set by the caller beforehand; afterLoad runs once the layout has loaded,
// just before the report is built.
#include <QString>

#include <functional>

void PrintList(const QString &fileName, const std::function<void()> &afterLoad = {});
