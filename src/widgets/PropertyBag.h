// The design-time properties of a control as its host keeps them: one value
// per key, keys matched without regard to letter case (stored design data
// holds them in lower case). A value equal to the default the control names
// is not written, so a bag holds only what differs from a new control;
// reading a key that is missing gives that default back.
#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

namespace tq {

class PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = {});

    bool contains(const QString& name) const { return values_.contains(name.toLower()); }
    int count() const { return static_cast<int>(values_.size()); }

private:
    QMap<QString, QVariant> values_;   // by lower-case key
};

} // namespace tq
