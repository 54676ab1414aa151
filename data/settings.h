#pragma once

#include <QString>
#include <optional>

namespace kestrova {

class Table;

// Named settings: rows of Xtable (Name, Value) looked up by key. write()
// never creates a missing row (reads give nothing and writes store nothing);
// store() adds it, for the settings that a set may not have yet.
class Settings {
public:
    explicit Settings(Table* table) : m_table(table) {}

    bool find(const QString& name) const;
    std::optional<QString> read(const QString& name) const;
    // Stores value in the row called name; false when there is no such row.
    bool write(const QString& name, const QString& value) const;
    // Stores value in the row called name, adding the row when there is none.
    void store(const QString& name, const QString& value) const;

private:
    Table* m_table;
};

} // namespace kestrova
