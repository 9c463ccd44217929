#pragma once

#include <string>

class CException;

// What opening an archive asks of the person using the program. The windows answer with
// message boxes, the command-line tool on the terminal, the tests from a script.
class IReaderPrompts {
public:
    virtual ~IReaderPrompts() = default;

    // The end record was not found: Yes tries again. The question comes ready-made; it is asked
    // with Yes and No under the program's own title.
    virtual bool AskRetry(const std::string& question) = 0;
    // The archive could not be opened. The windows show only message (with the stop icon);
    // the cause is there for front-ends that can say more.
    virtual void ShowOpenError(const std::string& message, const std::string& caption,
                               const CException& cause) = 0;
    // A stable index of the small icon of a file type, from the name alone.
    virtual int IconIndex(const std::string& name, bool isDirectory) = 0;
};
