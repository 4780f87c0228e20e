#pragma once

#include "tagedit/coverbatch.h"
#include "tagedit/multitagrun.h"

#include <functional>

class FileTable;
struct Options;
struct PlatformServices;

// The main window's runs over many files of the file table: tags saved into
// many files, the table's edited cells, covers. Each keeps the tag save's
// journal, so that the window's Undo takes the whole run back; each shows
// its progress in the table, whose Stop ends it after the current file; the
// errors are told at the end.
class TableRuns {
public:
    using Status = std::function<void(const QString&)>;

    // Nothing is owned; all must outlive the runs.
    TableRuns(PlatformServices& services, const Options& options, FileTable& table, Status status);

    MultiTagRunReport saveTags(const QList<MultiTagRun::File>& files, const QString& journalPath);
    CoverBatchReport changeCovers(const QStringList& paths, CoverBatchRequest request, const QString& journalPath);

private:
    MultiTagRunHooks hooks(int total);
    void tellProblems(const MultiTagRunReport& report);

    PlatformServices& m_services;
    const Options& m_options;
    FileTable& m_table;
    Status m_status;
};
