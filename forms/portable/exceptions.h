// The exception classes of the form library. Every failure carries a readable Message.
#pragma once
#include <exception>
#include <string>

namespace forms {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// printf-style formatting for exception messages: Format("Unable to write to %s", name.c_str()).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

#define FORMS_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base {              \
    public:                                 \
        using Base::Base;                   \
    }

// Silent: the application's handler swallows it without a message box.
FORMS_DECLARE_EXCEPTION(EAbort, Exception);
FORMS_DECLARE_EXCEPTION(EConvertError, Exception);
FORMS_DECLARE_EXCEPTION(EListError, Exception);
FORMS_DECLARE_EXCEPTION(EStreamError, Exception);
FORMS_DECLARE_EXCEPTION(EFOpenError, EStreamError);
FORMS_DECLARE_EXCEPTION(EFCreateError, EStreamError);
FORMS_DECLARE_EXCEPTION(EReadError, EStreamError);
FORMS_DECLARE_EXCEPTION(EWriteError, EStreamError);
FORMS_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
FORMS_DECLARE_EXCEPTION(EInvalidOperation, Exception);
FORMS_DECLARE_EXCEPTION(EIniFileException, Exception);
FORMS_DECLARE_EXCEPTION(EOutOfResources, Exception);

#undef FORMS_DECLARE_EXCEPTION

}  // namespace forms
