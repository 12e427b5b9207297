#pragma once

#include <QString>
#include <QStringList>

namespace horalink {

// What came of writing files: every file written whole, or none of them.
struct WriteOutcome
{
    enum class Result
    {
        Written,
        Cancelled,
        Failed,
    };

    Result result = Result::Written;
    QStringList files;
    // Why nothing was written, in words for the user.
    QString failure;
};

} // namespace horalink
