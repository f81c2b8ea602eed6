// The time from a click to the first frame of the window it opens, and from the program's start
// to the main window's, on the platform Qt runs on: under an X server (Qt's xcb platform) for what
// a user sees, offscreen beside it. One run of this program is one start and at most one window
// opened twice, as a new user does it; bench/run-opening-bench runs it over and over and prints
// the medians.
//
//   quendrix_opening_bench [--open WINDOW [--click]] [--file1 CSV --file2 CSV --pairs CSV]
//                          [--paints]
//
// Every run starts the program as src/app/main.cpp does (keep the two alike): QApplication, then
// the main window made and shown, timed from QUENDRIX_START_NS (CLOCK_REALTIME in ns, stamped by
// the launcher just before it execs this program) to the main window's first frame. This program
// links what the desktop program links and nothing more, so that its start loads the same.
//
// WINDOW is one of:
//   floor        the same start with a bare window of the main window's size (a menu, a label, a
//                status line): what any window costs here before the program's own work;
//   files        the start with --file1 and --file2 on the command line (`quendrix FILE1 FILE2`);
//   import       "Import data" right after the start: the platform's file dialog, the first
//                window a new user opens (closed, cancelled, once it has settled);
//   chart, colour, coverage, suggest, about, coefficient, printoptions: once the two files are
//                imported and the calibration has run, the command that the window's button or
//                menu item runs (Fig.8's "More details", "Colour settings", "Check coverage..."
//                with --pairs, "Suggest settings...", the About box, the first coefficient and
//                "Print Options").
// A window is opened twice: the first opening in the process (cold) and, once closed, a second
// one (warm). With --click (chart, colour and coefficient, under X) the command is a real click,
// by xdotool through the X server, on Fig.8, "Colour settings" or the first coefficient, timed
// from the press's arrival.
//
// A frame is a paint of a window's widgets flushed to the window system. The widgets paint into
// the window's backing store and flush it to the X server within the one Expose or UpdateRequest
// event that asked for it, so this program's notify() notes the Paint events of each window and,
// when the event around them returns, asks the X server for a reply (a round trip: every request
// sent before it, the frame's image included, has been carried out) and stamps the frame. The
// first frame is the first stamp of the new window after the command; the settled frame is its
// last before 300 ms without one (capped at 5 s), so that work put off until after the first
// frame still shows in the figures.
//
// Prints one line of key=value pairs, times in ms: per opening its first and settled frame, the
// time the first frame's painting and flushing took, and how many frames it and the main window
// showed. With --paints, the first frame's paint events are timed by widget class on stderr.

#include "ScriptedDialogService.h"
#include "app/ClickableLabel.h"
#include "app/ControlPanel.h"
#include "app/FigurePanel.h"
#include "app/MainMenus.h"
#include "app/MainWindow.h"
#include "app/Workflow.h"
#include "base/Version.h"
#include "ui/DialogService.h"
#include "ui/FigureSurface.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quendrix;

double realtimeMs() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

/// A round trip to the X server, by libxcb's functions found where the xcb platform plugin
/// loaded them, so that this program links no more than the desktop program does.
class ServerRoundTrip {
  public:
    void operator()() {
        // Offscreen, the frame is in memory once flushed (and that platform may answer for X11
        // without a connection).
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 == nullptr || x11->connection() == nullptr ||
            QGuiApplication::platformName() != QLatin1String("xcb")) {
            return;
        }
        if (getFocus_ == nullptr) {
            void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_NOLOAD);
            if (xcb == nullptr) {
                return;
            }
            getFocus_ = reinterpret_cast<GetFocus>(dlsym(xcb, "xcb_get_input_focus"));
            reply_ = reinterpret_cast<Reply>(dlsym(xcb, "xcb_get_input_focus_reply"));
            if (getFocus_ == nullptr || reply_ == nullptr) {
                getFocus_ = nullptr;
                return;
            }
        }
        xcb_connection_t* c = x11->connection();
        std::free(reply_(c, getFocus_(c), nullptr));
    }

  private:
    struct Cookie {
        unsigned int sequence;
    };
    using GetFocus = Cookie (*)(xcb_connection_t*);
    using Reply = void* (*)(xcb_connection_t*, Cookie, void**);
    GetFocus getFocus_ = nullptr;
    Reply reply_ = nullptr;
};

/// The application with a clock on every window's frames.
class FrameClock final : public QApplication {
  public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && event->spontaneous() && pressed_ < 0) {
            pressed_ = realtimeMs();
        }
        if (event->type() == QEvent::Paint && receiver->isWidgetType()) {
            QWidget* window = static_cast<QWidget*>(receiver)->window();
            if (!painted_.contains(window)) {
                painted_.push_back(window);
            }
        }
        const double began = realtimeMs();
        ++depth_;
        const bool done = QApplication::notify(receiver, event);
        --depth_;
        if (event->type() == QEvent::Paint && receiver->isWidgetType() && paintTimes_ != nullptr) {
            (*paintTimes_)[QString::fromLatin1(receiver->metaObject()->className())] +=
                realtimeMs() - began;
        }
        const QEvent::Type type = event->type();
        if (!painted_.isEmpty() &&
            (depth_ == 0 || type == QEvent::Expose || type == QEvent::UpdateRequest)) {
            stampFrames(began);
        }
        return done;
    }

    /// Stamps of the frames of `window` since the last forget().
    const std::vector<double>& frames(const QWidget* window) { return frames_[window]; }
    /// How long the event that made the first of them took, in ms: painting and flushing.
    double firstPaint(const QWidget* window) { return firstPaint_[window]; }
    /// The first window other than `except` with a frame since the last forget().
    QWidget* framedWindow(const QWidget* except) const {
        for (const auto& [window, stamps] : frames_) {
            if (window != except && !stamps.empty()) {
                return const_cast<QWidget*>(window);
            }
        }
        return nullptr;
    }
    /// Adds the time of every widget's paint events to `times` by class, until the first frame
    /// of a window other than `except`.
    void timePaints(std::map<QString, double>* times, const QWidget* except) {
        paintTimes_ = times;
        paintTimesExcept_ = except;
    }
    /// When the first button press from the window system arrived since the last forget(); -1
    /// when none did.
    double pressed() const { return pressed_; }
    void forget() {
        frames_.clear();
        firstPaint_.clear();
        pressed_ = -1;
    }

  private:
    void stampFrames(double began) {
        roundTrip_();
        const double now = realtimeMs();
        for (const QPointer<QWidget>& window : std::as_const(painted_)) {
            if (window) {
                std::vector<double>& stamps = frames_[window.data()];
                if (stamps.empty()) {
                    firstPaint_[window.data()] = now - began;
                }
                if (window.data() != paintTimesExcept_) {
                    paintTimes_ = nullptr;
                }
                stamps.push_back(now);
            }
        }
        painted_.clear();
    }

    int depth_ = 0;
    double pressed_ = -1;
    QList<QPointer<QWidget>> painted_;
    std::map<const QWidget*, std::vector<double>> frames_;
    std::map<const QWidget*, double> firstPaint_;
    std::map<QString, double>* paintTimes_ = nullptr;
    const QWidget* paintTimesExcept_ = nullptr;
    ServerRoundTrip roundTrip_;
};

FrameClock* frameClock() {
    return static_cast<FrameClock*>(qApp);
}

/// Runs the event loop until `done` holds or `ms` have passed; whether it held.
template <class Done> bool runUntil(Done done, int ms) {
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.hasExpired(ms)) {
            loop.quit();
        }
    });
    poll.start(2);
    if (!done()) {
        loop.exec();
    }
    return done();
}

/// Events until no window has painted anything for `quietMs`.
void settle(int quietMs = 150) {
    QElapsedTimer quiet;
    quiet.start();
    std::size_t seen = 0;
    runUntil(
        [&] {
            std::size_t frames = 0;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                frames += frameClock()->frames(w).size();
            }
            if (frames != seen) {
                seen = frames;
                quiet.restart();
            }
            return quiet.hasExpired(quietMs);
        },
        5000);
}

struct Opening {
    double at = 0;       ///< CLOCK_MONOTONIC in s when the command ran, for `perf --clockid`
    double first = -1;   ///< ms from the command to the window's first frame
    double settled = -1; ///< ms to its last frame before 300 ms without one
    double paint = -1;   ///< ms the first frame's painting and flushing took
    int frames = 0;
    int mainFrames = 0; ///< frames of the main window before the window's first
    QString name;
};

/// --paints: the first frame's paint events are timed by widget class.
bool timingPaints = false;

/// Runs `command` and waits for the frames of the window it opens: the first top-level window
/// other than `main` to show a frame. Timed from `start` when given, else from the button press
/// when `fromPress`, else from the command.
template <class Command>
Opening timeOpening(QWidget* main, Command command, double start = -1, bool fromPress = false) {
    frameClock()->forget();
    if (start < 0) {
        start = realtimeMs();
    }
    timespec monotonic{};
    clock_gettime(CLOCK_MONOTONIC, &monotonic);
    std::map<QString, double> paints;
    if (timingPaints) {
        frameClock()->timePaints(&paints, main);
    }
    command();
    // The window is known by its address alone once gone: a modal dialog is deleted as its
    // command returns.
    const QWidget* window = nullptr;
    QPointer<QWidget> watched;
    Opening o;
    auto framed = [&] {
        if (window == nullptr && (watched = frameClock()->framedWindow(main))) {
            window = watched;
            o.name = watched->objectName().isEmpty()
                         ? QString::fromLatin1(watched->metaObject()->className())
                         : watched->objectName();
        }
        return window != nullptr;
    };
    if (!runUntil(framed, 10000)) {
        return o;
    }
    QElapsedTimer quiet;
    quiet.start();
    std::size_t seen = 0;
    runUntil(
        [&] {
            const std::size_t n = frameClock()->frames(window).size();
            if (n != seen) {
                seen = n;
                quiet.restart();
            }
            return !watched || quiet.hasExpired(300);
        },
        5000);
    if (fromPress) {
        if (frameClock()->pressed() < 0) {
            return o;
        }
        start = frameClock()->pressed();
    }
    const std::vector<double>& stamps = frameClock()->frames(window);
    o.at = double(monotonic.tv_sec) + double(monotonic.tv_nsec) / 1e9;
    o.first = stamps.front() - start;
    o.settled = stamps.back() - start;
    o.paint = frameClock()->firstPaint(window);
    frameClock()->timePaints(nullptr, nullptr);
    if (timingPaints) {
        // The first frame's paint events by widget class, slowest first, on stderr.
        std::vector<std::pair<double, QString>> slowest;
        for (const auto& [name, ms] : paints) {
            slowest.emplace_back(ms, name);
        }
        std::sort(slowest.rbegin(), slowest.rend());
        for (const auto& [ms, name] : slowest) {
            std::fprintf(stderr, "paint %-32s %7.2f ms\n", qPrintable(name), ms);
        }
    }
    o.frames = int(stamps.size());
    if (main != nullptr) {
        const std::vector<double>& behind = frameClock()->frames(main);
        o.mainFrames = int(std::count_if(behind.begin(), behind.end(),
                                         [&](double t) { return t <= stamps.front(); }));
    }
    return o;
}

void print(const char* key, const Opening& o) {
    std::printf(" %s_first=%.2f %s_settled=%.2f %s_paint=%.2f %s_frames=%d %s_mainframes=%d", key,
                o.first, key, o.settled, key, o.paint, key, o.frames, key, o.mainFrames);
    std::printf(" %s_window=%s %s_at=%.6f", key, qPrintable(o.name), key, o.at);
}

/// Clicks `button`, whose command waits in a modal dialog's event loop: the dialog is closed
/// (cancelled) once it has shown a frame and then none for 300 ms, so that the click returns.
void clickIntoModal(QAbstractButton* button) {
    auto* closer = new QTimer(qApp);
    QObject::connect(closer, &QTimer::timeout, closer, [closer] {
        QWidget* modal = QApplication::activeModalWidget();
        const std::vector<double>* stamps = modal ? &frameClock()->frames(modal) : nullptr;
        if (stamps != nullptr && !stamps->empty() && realtimeMs() - stamps->back() > 300) {
            modal->close();
            closer->deleteLater();
        }
    });
    closer->start(5);
    QTimer::singleShot(0, button, [button] { button->click(); });
}

/// The least a window of the main window's size costs: a menu, a label and a status line.
std::unique_ptr<QMainWindow> floorWindow() {
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QString::fromLatin1(ProgramTitle));
    window->menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Quit"));
    window->setCentralWidget(new QLabel(QStringLiteral("Import data")));
    window->statusBar()->showMessage(QStringLiteral("Ready"));
    window->resize(1560, 800);
    return window;
}

std::optional<std::string> option(int argc, char** argv, const char* name) {
    for (int k = 1; k + 1 < argc; ++k) {
        if (std::strcmp(argv[k], name) == 0) {
            return std::string(argv[k + 1]);
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    const double entered = realtimeMs();
    const char* stamp = std::getenv("QUENDRIX_START_NS");
    const double exec = stamp != nullptr ? std::strtod(stamp, nullptr) / 1e6 : entered;
    const std::string open = option(argc, argv, "--open").value_or("");
    timingPaints = std::find(argv + 1, argv + argc, std::string_view("--paints")) != argv + argc;

    // As src/app/main.cpp starts the program.
    FrameClock app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quendrix"));
    QApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion));
    const double made = realtimeMs();
    std::unique_ptr<ui::DialogService> dialogs;
    ui::ScriptedDialogService* script = nullptr;
    const bool startsWithFiles = open == "files";
    const bool importing = open == "import";
    if (open.empty() || startsWithFiles || importing) {
        dialogs = std::make_unique<ui::QtDialogService>();
    } else {
        dialogs = std::make_unique<ui::ScriptedDialogService>();
        script = static_cast<ui::ScriptedDialogService*>(dialogs.get());
    }
    double built = 0;
    double shown = 0;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QMainWindow> floor;
    const Opening start = timeOpening(
        nullptr,
        [&] {
            if (open == "floor") {
                floor = floorWindow();
            } else {
                window = std::make_unique<MainWindow>(*dialogs);
            }
            built = realtimeMs();
            QWidget* shownWindow = floor ? floor.get() : window.get();
            shownWindow->show();
            shown = realtimeMs();
            if (startsWithFiles) {
                const std::string files[] = {option(argc, argv, "--file1").value_or(""),
                                             option(argc, argv, "--file2").value_or("")};
                for (int f = 0; f < 2; ++f) {
                    window->workflow().importPath(f, QString::fromStdString(files[f]));
                }
            }
        },
        exec);
    std::printf("platform=%s open=%s", qPrintable(QApplication::platformName()),
                open.empty() ? "main" : open.c_str());
    std::printf(" start_main=%.2f start_app=%.2f start_built=%.2f start_shown=%.2f", entered - exec,
                made - exec, built - exec, shown - exec);
    print("start", start);
    if (start.first < 0) {
        std::printf(" error=no-frame\n");
        return 1;
    }
    if (startsWithFiles &&
        !(window->workflow().figures().drawn(1) && window->workflow().figures().drawn(2))) {
        std::printf(" error=not-imported\n");
        return 1;
    }
    if (open.empty() || floor || startsWithFiles) {
        std::printf("\n");
        return 0;
    }
    if (importing) {
        // The first thing a new user does: "Import data" for file 1, the platform's file dialog.
        settle();
        QAbstractButton* button = window->controls().file[0].importButton;
        const Opening cold = timeOpening(window.get(), [button] { clickIntoModal(button); });
        print("cold", cold);
        settle();
        const Opening warm = timeOpening(window.get(), [button] { clickIntoModal(button); });
        print("warm", warm);
        std::printf("\n");
        return cold.first < 0 || warm.first < 0 ? 1 : 0;
    }

    const auto file1 = option(argc, argv, "--file1");
    const auto file2 = option(argc, argv, "--file2");
    const auto pairs = option(argc, argv, "--pairs").value_or("");
    if (!file1 || !file2) {
        std::printf(" error=no-files\n");
        return 2;
    }
    settle();
    script->answerFile(QString::fromStdString(*file1));
    script->answerFile(QString::fromStdString(*file2));
    Workflow& flow = window->workflow();
    flow.readDataFile(0);
    flow.readDataFile(1);
    flow.start();
    settle();
    if (!flow.figures().drawn(8)) {
        std::printf(" error=not-calibrated\n");
        return 1;
    }

    MainMenus& menus = window->menus();
    std::function<void()> command;
    if (open == "chart") {
        command = [&] { menus.details[1]->trigger(); };
    } else if (open == "colour") {
        command = [&] { window->controls().coefficients.colourSettings->click(); };
    } else if (open == "coverage") {
        command = [&] {
            script->answerFile(QString::fromStdString(pairs));
            menus.checkCoverage->trigger();
        };
    } else if (open == "suggest") {
        command = [&] { menus.suggestSettings->trigger(); };
    } else if (open == "about") {
        command = [&] { menus.about->trigger(); };
    } else if (open == "coefficient") {
        command = [&] { emit window->controls().coefficients.values[0]->clicked(); };
    } else if (open == "printoptions") {
        command = [&] { menus.printOptions->trigger(); };
    } else {
        std::printf(" error=unknown-window\n");
        return 2;
    }
    // --click: a real click through the X server on what the user clicks in the main window,
    // timed from the press's arrival.
    QWidget* clicked = nullptr;
    if (std::find(argv + 1, argv + argc, std::string_view("--click")) != argv + argc) {
        ControlPanel& c = window->controls();
        if (open == "chart") {
            clicked = window->figures().figure(8);
        } else if (open == "colour") {
            clicked = c.coefficients.colourSettings;
        } else if (open == "coefficient") {
            clicked = c.coefficients.values[0];
        }
        if (clicked == nullptr || QApplication::platformName() != QLatin1String("xcb")) {
            std::printf(" error=no-click\n");
            return 2;
        }
        command = [clicked] {
            const QPoint at = clicked->mapToGlobal(clicked->rect().center());
            QProcess::startDetached(QStringLiteral("xdotool"),
                                    {QStringLiteral("mousemove"), QString::number(at.x()),
                                     QString::number(at.y()), QStringLiteral("click"),
                                     QStringLiteral("1")});
        };
    }
    const Opening cold = timeOpening(window.get(), command, -1, clicked != nullptr);
    print("cold", cold);
    if (QWidget* w = frameClock()->framedWindow(window.get())) {
        w->close();
    }
    settle();
    const Opening warm = timeOpening(window.get(), command, -1, clicked != nullptr);
    print("warm", warm);
    std::printf("\n");
    // Closed as the user would, so that a running search is stopped before the window goes.
    window->close();
    return cold.first < 0 || warm.first < 0 ? 1 : 0;
}
