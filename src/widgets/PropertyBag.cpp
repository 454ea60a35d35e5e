#include "widgets/PropertyBag.h"

namespace tq {

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    return values_.value(name.toLower(), defaultValue);
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    const QString key = name.toLower();
    if (defaultValue.isValid() && value == defaultValue)
        values_.remove(key);
    else
        values_.insert(key, value);
}

} // namespace tq
