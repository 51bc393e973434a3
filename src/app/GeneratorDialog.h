#pragma once

#include "generate/NameGenerator.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace ds {

// "生成": a pattern, its TLDs, exclusions and words around it, with the count
// and the first names shown as they are typed. Accepting leaves the request
// and whether the names go after the list or in its place.
class GeneratorDialog final : public QDialog {
    Q_OBJECT

public:
    explicit GeneratorDialog(QWidget* parent = nullptr);

    GeneratorRequest request() const;
    bool appends() const;
    // The generator of the request as it stands; nullopt while it cannot be used.
    const std::optional<NameGenerator>& generator() const { return m_generator; }

    static constexpr int kPreviewNames = 8;

private:
    QLineEdit* field(const QString& name, const QString& placeholder);
    void refresh();

    QLineEdit* m_pattern = nullptr;
    QLineEdit* m_tlds = nullptr;
    QLineEdit* m_exclusions = nullptr;
    QLineEdit* m_prefixes = nullptr;
    QLineEdit* m_suffixes = nullptr;
    QLabel* m_count = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    QRadioButton* m_replace = nullptr;
    QRadioButton* m_append = nullptr;
    QPushButton* m_generate = nullptr;
    QTimer m_refreshTimer;
    std::optional<NameGenerator> m_generator;
};

} // namespace ds
