#pragma once

#include "errors/HandlerRunner.h"

#include <QApplication>

#include <exception>

class TMessageBoxes;

// The application object. It holds the general error display: an error that ends any handler
// (button, menu, timer, posted message) is caught here, once, and shown in the error box; the
// program then goes on. Errors in the serial port's received-data handling never come here.
class TApplication : public QApplication, public TErrorDisplay {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv, TMessageBoxes& boxes);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an error caught outside event delivery.
    void ShowError(std::exception_ptr error) override;

protected:
    bool event(QEvent* e) override;

private:
    TMessageBoxes& boxes_;
};
