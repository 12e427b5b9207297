#pragma once

#include <memory>
#include <QTemporaryDir>

namespace horalink {

// A folder whose Employee.mdb lists `employees` employees besides Manager ("Employee 0000"
// and on, wage 12.5), each with `events` alternating events from 2020-01-01 on, a shift of
// 8 h 17 min a day.
std::unique_ptr<QTemporaryDir> shopFolder(int employees, int events);

} // namespace horalink
