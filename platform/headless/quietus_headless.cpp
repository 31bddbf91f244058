// quietus-headless: runs the program over a program folder on the headless back end for some
// virtual seconds and prints, second by second, what a user would have seen change: the tray
// icon's tip, windows opening and closing, the warning's count, message boxes (answered with OK
// once printed) and the session-end request. A smoke test of the whole program without a screen.
//
//   quietus-headless <program folder> [seconds, default 60] [start "YYYY-MM-DD HH:MM:SS"]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_app.h"
#include "platform/os_services.h"

namespace {

using namespace std::chrono;
using qm::headless::HeadlessApp;

// What the user sees: each thing on the screen by name, with what it shows.
using Seen = std::vector<std::pair<std::string, std::string>>;

Seen seen(const HeadlessApp& app) {
    Seen out;
    if (const auto& icon = app.tray.shown()) out.emplace_back("tray icon", icon->tip);
    for (const char* name : {"EndMessege", "TimeDateSet", "TimeSet", "About"}) {
        if (!app.isVisible(name)) continue;
        std::string shows = "\"" + app.form(name).caption() + "\"";
        if (std::string(name) == "EndMessege") shows += " " + app.caption(name, "Label3");
        out.emplace_back(std::string("window ") + name, shows);
    }
    for (const auto& box : app.messageBoxes())
        out.emplace_back("message box \"" + box.title + "\"", box.text);
    for (qm::SessionRequest request : app.session.requests) {
        // Named by the word of the method that asks for it.
        const auto asking = std::find_if(qm::kExitMethods.begin(), qm::kExitMethods.end(),
                                         [&](const qm::ExitMethodInfo& info) { return info.request == request; });
        out.emplace_back("session end requested", std::string(asking->word));
    }
    if (app.ended()) out.emplace_back("program", "ended");
    return out;
}

std::string clockText(const HeadlessApp& app) {
    const auto now = app.clock.now();
    const auto day = floor<days>(now);
    const year_month_day ymd{day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %s", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  app.clock.timeText(now - day).c_str());
    return text;
}

const std::string* find(const Seen& seen, const std::string& what) {
    for (const auto& [name, shows] : seen) {
        if (name == what) return &shows;
    }
    return nullptr;
}

void printChanges(const HeadlessApp& app, Seen& before) {
    const Seen now = seen(app);
    for (const auto& [name, shows] : now) {
        const std::string* was = find(before, name);
        if (!was || *was != shows) std::cout << clockText(app) << "  " << name << ": " << shows << "\n";
    }
    for (const auto& [name, shows] : before) {
        if (!find(now, name)) std::cout << clockText(app) << "  " << name << ": gone\n";
    }
    before = now;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: quietus-headless <program folder> [seconds] [\"YYYY-MM-DD HH:MM:SS\"]\n";
        return 2;
    }
    const int seconds = argc > 2 ? std::stoi(argv[2]) : 60;
    qm::LocalTime start = qm::makeSystemClock()->now();
    if (argc > 3) {
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
        if (std::sscanf(argv[3], "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) {
            std::cerr << "quietus-headless: the start is written YYYY-MM-DD HH:MM:SS\n";
            return 2;
        }
        start = local_days{year(y) / mo / d} + hours(h) + minutes(mi) + std::chrono::seconds(s);
    }

    HeadlessApp app(argv[1], start);
    Seen before;
    app.start();
    printChanges(app, before);
    for (int second = 0; second < seconds && !app.ended(); ++second) {
        while (!app.messageBoxes().empty()) {
            app.answerMessageBox();
            printChanges(app, before);
        }
        app.advance(1s);
        printChanges(app, before);
    }
    return 0;
}
