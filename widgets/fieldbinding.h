#pragma once

#include <QPointer>
#include <QString>

#include <functional>

#include "data/dataset.h"

namespace kestrova {

// The link between one text control and one field of a data source's
// current record, shared by the line and the memo box. It shows the field
// when the record changes, puts the record into editing when the user starts
// typing, and writes the typed text into the field on request (leaving the
// box, and before every post through the data source's update callback).
class FieldBinding {
public:
    using Show = std::function<void(const QString&)>;
    using Read = std::function<QString()>;

    // show puts a field's text into the control; read returns what it holds.
    // Both are called only while the control exists: the binding is one of
    // its members.
    FieldBinding(QObject* control, Show show, Read read);

    void bind(kestrova::DataSource* source, const QString& field);
    const QString& field() const { return m_field; }
    kestrova::DataSet* dataSet() const;

    // True while the control is being filled from the field, so that the
    // control's own change signal is not taken for typing.
    bool isShowing() const { return m_showing; }
    bool isPending() const { return m_pending; }

    // The user changed the text: the record goes into editing. When it
    // cannot (closed or read-only table) the reason has been shown and the
    // stored value comes back into the box.
    void userChanged();
    // Shows the field again when it (or the whole record, for an empty
    // name) changed; drops typed text that was not written.
    void refresh(const QString& changedField = QString());
    // Writes the typed text into the field. Throws the data layer's error
    // for a refused value; the typed text then stays in the box.
    void updateField();
    // Marks the control's text as typed without a signal from the control.
    void markTyped() { m_pending = true; }

private:
    QObject* m_control;
    Show m_show;
    Read m_read;
    QPointer<kestrova::DataSource> m_source;
    QString m_field;
    bool m_pending = false;
    bool m_showing = false;
};

} // namespace kestrova
