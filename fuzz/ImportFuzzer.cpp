// Feeds arbitrary bytes to the import: decoding and merging into a fresh
// in-memory store must never crash, hang or grow without bound.
#include "Services/DataImport.h"
#include "Store/ModelContext.h"
#include "Store/UndoManager.h"

#include <QCoreApplication>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvana::ModelContext context;
    context.ensureUndoManager();
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)orvana::DataImport::importJSON(document, context);
    context.undoManager()->undo(); // the merge must be undoable whatever it did
    return 0;
}
