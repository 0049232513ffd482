#pragma once

#include <QDBusConnection>
#include <iosfwd>
#include <optional>

namespace lexoria {

// `lexoria --send`: hands standard input to the running program's Services entry (the bus
// starts the program when it is installed and not running), writes the answer to `out`
// and returns 0; a refused request writes its error text to `err` and returns 1, as does
// a text that cannot go over the bus or a session without the program.
// With `answer` off, nothing is written but trouble reaching the program, and a text
// that is not XML counts as sent: it is translated all the same.
int sendToRunningInstance(const QDBusConnection& bus, std::istream& in, std::ostream& out,
                          std::ostream& err, bool answer = true);

// The program's uses as a client of the running instance: "--send" (standard input),
// "--send-selection" (the primary selection) and "--translate-selection" (the same,
// quietly, for a desktop shortcut). The exit code, or nothing when the
// arguments start the program itself. Makes the Qt application object it needs.
std::optional<int> runAsClient(int argc, char** argv);

// A second start: asks the instance that owns the bus name to show its windows. False
// when none answered.
bool showRunningInstance(const QDBusConnection& bus);

}  // namespace lexoria
