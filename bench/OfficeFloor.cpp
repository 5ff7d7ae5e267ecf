#include "bench/OfficeFloor.h"

#include "generate/office/DocumentStore.h"
#include "generate/office/LibreOfficeSession.h"
#include "generate/office/OfficeBridge.h"
#include "generate/office/OfficeProcess.h"
#include "generate/office/OfficeProfile.h"
#include "generate/office/OpenDocument.h"
#include "generate/office/ScratchFolder.h"
#include "records/LumarelError.h"

#include <QElapsedTimer>

#include <com/sun/star/text/XTextDocument.hpp>

#include <algorithm>
#include <barrier>
#include <exception>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One office: started, the document loaded and readied as the batch readies a
// template, then edited and stored `count` times once every office is ready.
void storeOver(const QString& document, int count, std::barrier<>& ready, Clock::time_point& end,
               std::exception_ptr& failure)
{
    OfficeProcess process;
    OfficeProfile profile;
    OfficeBridge bridge;
    OpenDocument doc;
    const OfficeAlive alive = [&process] { return process.alive(); };
    bool arrived = false;
    try {
        profile.take();
        bridge.setLoops(false);
        bridge.connect(process, profile, LibreOfficeSession::DefaultProgramDir(), true);
        doc = LoadTemplate(bridge.desktop(), document, true, alive);
        TrackedChanges none;
        QList<DocumentMark> noMarks;
        PrepareForFilling(doc, bridge.remote(), false, none, noMarks);
        const css::uno::Reference<css::text::XText> text =
            css::uno::Reference<css::text::XTextDocument>(doc.document, css::uno::UNO_QUERY_THROW)
                ->getText();
        const ScratchFolder scratch(ScratchFolder::StoreParent());
        arrived = true;
        ready.arrive_and_wait();
        for (int k = 0; k < count; ++k) {
            text->insertString(text->getEnd(), rtl::OUString("x"), false);
            StoreCopy(doc.document, scratch.filePath(QString::number(k) + QStringLiteral(".doc")),
                      QStringLiteral("floor "), StoreFormat::Word97, alive);
        }
        end = Clock::now();
    } catch (...) {
        failure = std::current_exception();
        if (!arrived)
            ready.arrive_and_drop();
    }
    CloseOfficeDocument(doc.document);
    process.terminate(bridge.release());
    profile.release();
}

} // namespace

double OfficeFloorMs(const QString& filledDocument, int documents, int offices)
{
    offices = std::max(1, std::min(offices, documents));
    std::barrier<> ready(offices + 1);
    std::vector<Clock::time_point> ends(offices);
    std::vector<std::exception_ptr> failures(offices);
    std::vector<std::thread> threads;
    for (int k = 0; k < offices; ++k) {
        const int count = documents / offices + (k < documents % offices ? 1 : 0);
        threads.emplace_back(storeOver, filledDocument, count, std::ref(ready), std::ref(ends[k]),
                             std::ref(failures[k]));
    }
    ready.arrive_and_wait();
    const Clock::time_point begin = Clock::now();
    for (std::thread& t : threads)
        t.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
    const Clock::time_point end = *std::max_element(ends.begin(), ends.end());
    return std::chrono::duration<double, std::milli>(end - begin).count() / documents;
}
