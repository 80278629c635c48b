#include "panel/skyvane_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <array>

#include "panel/skyvane_form.h"

namespace skyvane {

namespace {

// One column: no children, its name the day's phrase, its place the union
// of its four controls.
class ColumnAccessible : public QAccessibleInterface {
 public:
  ColumnAccessible(Skyvane* form, int column) : form_(form), column_(column) {}

  bool isValid() const override { return !form_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return form_ ? form_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return form_ ? QAccessible::queryAccessibleInterface(form_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text kind) const override {
    if (!form_ || kind != QAccessible::Name) return QString();
    return form_->Label1(column_)->accessibleName();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!form_) return QRect();
    QRect area;
    for (const QWidget* control :
         std::initializer_list<const QWidget*>{form_->Label1(column_), form_->Label2(column_),
                                               form_->Image1(column_), form_->Label3(column_)}) {
      area |= QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
    }
    return area;
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !form_ || !form_->isVisible();
    state.readOnly = true;
    return state;
  }

 private:
  QPointer<Skyvane> form_;
  int column_;
};

// The form: its seven columns are its only children.
class FormAccessible : public QAccessibleWidget {
 public:
  explicit FormAccessible(Skyvane* form) : QAccessibleWidget(form, QAccessible::Window) {}

  int childCount() const override { return kColumnCount; }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= kColumnCount) return nullptr;
    auto& id = ids_[static_cast<std::size_t>(index)];
    if (id == 0 || QAccessible::accessibleInterface(id) == nullptr) {
      id = QAccessible::registerAccessibleInterface(
          new ColumnAccessible(static_cast<Skyvane*>(widget()), index));
    }
    return QAccessible::accessibleInterface(id);
  }
  int indexOfChild(const QAccessibleInterface* column) const override {
    for (int c = 0; c < kColumnCount; ++c) {
      if (child(c) == column) return c;
    }
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int c = 0; c < kColumnCount; ++c) {
      if (child(c)->rect().contains(x, y)) return child(c);
    }
    return nullptr;
  }

 private:
  mutable std::array<QAccessible::Id, kColumnCount> ids_{};
};

QAccessibleInterface* FormFactory(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(Skyvane::staticMetaObject.className())) return nullptr;
  auto* form = qobject_cast<Skyvane*>(object);
  return form != nullptr ? new FormAccessible(form) : nullptr;
}

}  // namespace

void InstallFormAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(FormFactory);
    return true;
  }();
  (void)installed;
}

void AnnounceFormChange(QObject* form) {
  if (!QAccessible::isActive()) return;
  QAccessibleEvent description(form, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&description);
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(form);
  if (face == nullptr) return;
  for (int c = 0; c < face->childCount(); ++c) {
    QAccessibleEvent name(face->child(c), QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
  }
}

}  // namespace skyvane
