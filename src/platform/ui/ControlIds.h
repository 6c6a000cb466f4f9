// Numeric control ids on widgets.
//
// Every control that has a numeric id carries it as the dynamic property
// "controlId" (an int), so that tests and tools find controls by id as well
// as by their object names.  Menu actions carry their command ids the same
// way.
#pragma once

#include <QObject>
#include <QRect>
#include <QVariant>
#include <QWidget>

namespace lockwell {

class ControlIds {
 public:
  static constexpr const char* kProperty = "controlId";

  static void Set(QObject* control, int id) { control->setProperty(kProperty, id); }

  // Names `control` and gives it `id` (none when negative); for controls
  // their dialog moves on every resize.
  template <typename Control>
  static Control* Name(Control* control, const char* name, int id) {
    control->setObjectName(name);
    if (id >= 0) Set(control, id);
    return control;
  }

  // Names `control`, gives it `id` (none when negative) and puts it at
  // `rect` of its dialog; the dialogs lay out their controls this way.
  template <typename Control>
  static Control* Place(Control* control, const char* name, int id, const QRect& rect) {
    Name(control, name, id)->setGeometry(rect);
    return control;
  }

  // The control's id, or -1 when it has none.
  static int Of(const QObject* control) {
    const QVariant id = control->property(kProperty);
    return id.isValid() ? id.toInt() : -1;
  }

  // The first descendant of `parent` of type T that carries `id`, or null.
  template <typename T = QWidget>
  static T* Find(const QObject* parent, int id) {
    for (T* child : parent->findChildren<T*>()) {
      if (Of(child) == id) return child;
    }
    return nullptr;
  }
};

}  // namespace lockwell
