// An offscreen program window for the window tests: its tables, settings in a scratch folder,
// message boxes only logged, and generated event files.
#pragma once

#include "app/event_window.h"
#include "app/main_frame.h"
#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace tlx::app {

// A program window with its tables, settings in a scratch folder, message boxes only logged.
struct Program {
    test::TempDir dir;
    AppContext ctx;
    std::unique_ptr<CMainFrame> frame;

    explicit Program(const std::string& ini = "") {
        test::writeBytes(dir / "TELLURIX.INI", std::vector<std::uint8_t>(ini.begin(), ini.end()));
        ctx.ini.load(dir / "TELLURIX.INI");
        ctx.settings = readAppSettings(ctx.ini, dir.path(), true);
        ctx.messages.setSuppressed(true);
        LoaderSettings folders;
        folders.eventDirectory = folders.localDirectory = folders.programDirectory = dir.path();
        folders.geography = &ctx.geography;
        ctx.loader = std::make_unique<EventLoader>(ctx.messages, folders);
        const auto data = test::sourceDir() / "data";
        ctx.seismo.load(ctx.ini, {data}, {data}, ctx.messages);
        frame = std::make_unique<CMainFrame>(ctx);
        frame->resize(1100, 800);
        frame->show();
    }

    // A record of 60 s at 100 sps: quiet, then a burst at 20 s; `blocks` go into its header.
    std::string writeEvent(const std::string& name, const std::string& station = "TEST",
                           double amplitude = 1000, std::vector<test::BlockSpec> blocks = {}) {
        test::Svx4Spec spec;
        spec.sensorId = station;
        spec.blocks = std::move(blocks);
        spec.start.nanoseconds = 0;
        spec.samples.resize(6000);
        for (std::size_t i = 0; i < spec.samples.size(); ++i) {
            const double t = static_cast<double>(i) / 100.0;
            spec.samples[i] = std::round(t < 20 ? 10 * std::sin(t * 7)
                                                : amplitude * std::exp(-(t - 20) / 8) * std::sin(t * 9));
        }
        const auto path = dir / name;
        test::writeBytes(path, test::buildSvx4(spec));
        return path.string();
    }

    EventWindow* open(const std::vector<std::string>& files) {
        EventWindow* w = frame->openFiles(files);
        QApplication::processEvents();
        return w;
    }
};

// The button of a window that carries this text (mnemonic included); null when there is none.
inline QAbstractButton* buttonOf(QWidget* window, const QString& text) {
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// Runs `cmd` and hands the modal dialog it shows, as a D, to `answer`, which closes it. False when
// no such dialog came up.
template <class D, class Answer> bool answerDialog(CMainFrame& frame, Cmd cmd, Answer answer) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
        if (!dialog) return;
        shown = true;
        answer(dialog);
    });
    frame.run(cmd);
    return shown;
}

// With TLX_SCREENSHOT_DIR set, a test leaves a picture of the program there (docs/screenshots).
inline void saveScreenshot(QWidget* widget, const char* name) {
    const QByteArray dir = qgetenv("TLX_SCREENSHOT_DIR");
    if (!dir.isEmpty()) widget->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

inline views::EqViewModel& modelOf(EventWindow* w) {
    return w->view()->model();
}

} // namespace tlx::app
