// SPDX-License-Identifier: MIT
#include "app/application_guard.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

// Only touched on the main thread, while the application is being made.
QtMessageHandler previousHandler = nullptr;
QByteArray failureLine;
std::vector<HeldMessage>* held = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // Qt found no platform it could start: its fatal path would abort.
        std::fputs(failureLine.constData(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    held->push_back({type, QByteArray(context.category), text});
}

}  // namespace

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv, const QString& message) {
    failureLine = message.toLocal8Bit() + '\n';
    std::vector<HeldMessage> messages;
    held = &messages;
    previousHandler = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previousHandler);
    held = nullptr;
    for (const HeldMessage& m : messages) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
        if (previousHandler != nullptr) {
            previousHandler(m.type, context, m.text);
        }
    }
    return application;
}
