// The hourglass over one long command that lets window messages run: user input that arrives
// meanwhile (clicks, keys, the wheel, a close box) waits and is delivered when the command ends,
// so that it can neither close nor edit the project under the command.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

class QEvent;

class BusyScope : public QObject {
public:
    BusyScope();
    ~BusyScope() override;
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    // Runs the window messages that wait, without user input.
    static void PendingEvents();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};
