#include "app/ServerPaceEditor.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace ds {

namespace {

enum Column { ServerColumn, RateColumn, InFlightColumn, ProblemColumn, ColumnCount };

} // namespace

ServerPaceEditor::ServerPaceEditor(QWidget* parent)
    : QGroupBox(tr("单个服务器的速率上限"), parent) {
    auto* layout = new QGridLayout(this);
    m_table = new QTableWidget(0, ColumnCount);
    m_table->setObjectName(u"serverPaces"_s);
    m_table->setHorizontalHeaderLabels(
        {tr("服务器[:端口]"), tr("每秒请求数"), tr("同时请求数"), tr("问题")});
    m_table->verticalHeader()->hide();
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ServerColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ProblemColumn, QHeaderView::Stretch);
    // Room for three rows; more scroll.
    m_table->setFixedHeight(header->sizeHint().height() +
                            3 * m_table->verticalHeader()->defaultSectionSize() + 4);
    layout->addWidget(m_table, 0, 0, 3, 1);
    connect(m_table, &QTableWidget::itemChanged, this, [this] {
        showProblems();
        Q_EMIT edited();
    });

    auto* add = new QPushButton(tr("添加"));
    add->setObjectName(u"addServerPace"_s);
    connect(add, &QPushButton::clicked, this, [this] {
        const int row = m_table->rowCount();
        setRows(rows() << SettingsForm::ServerPaceRow{});
        m_table->setCurrentCell(row, ServerColumn);
        m_table->editItem(m_table->item(row, ServerColumn));
    });
    auto* remove = new QPushButton(tr("删除"));
    remove->setObjectName(u"removeServerPace"_s);
    connect(remove, &QPushButton::clicked, this, [this] {
        QList<SettingsForm::ServerPaceRow> kept = rows();
        const int row = m_table->currentRow();
        if (row < 0 || row >= kept.size())
            return;
        kept.removeAt(row);
        setRows(kept);
    });
    layout->addWidget(add, 0, 1);
    layout->addWidget(remove, 1, 1);
    auto* note = new QLabel(tr("列出的服务器最多以这里的速率查询，被拒绝时自动减速；"
                               "其余服务器用内置速率表或上面的间隔。"));
    note->setObjectName(u"serverPaceNote"_s);
    note->setWordWrap(true);
    layout->addWidget(note, 3, 0, 1, 2);
}

void ServerPaceEditor::setRows(const QList<SettingsForm::ServerPaceRow>& rows) {
    {
        const QSignalBlocker quiet(m_table);
        m_table->setRowCount(int(rows.size()));
        for (int row = 0; row < rows.size(); ++row) {
            const SettingsForm::ServerPaceRow& pace = rows[row];
            m_table->setItem(row, ServerColumn, new QTableWidgetItem(pace.server));
            m_table->setItem(row, RateColumn, new QTableWidgetItem(pace.rate));
            m_table->setItem(row, InFlightColumn, new QTableWidgetItem(pace.inFlight));
            auto* problem = new QTableWidgetItem;
            problem->setFlags(Qt::ItemIsEnabled);
            problem->setForeground(problemColour());
            m_table->setItem(row, ProblemColumn, problem);
        }
    }
    showProblems();
    Q_EMIT edited();
}

QList<SettingsForm::ServerPaceRow> ServerPaceEditor::rows() const {
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem* item = m_table->item(row, column);
        return item ? item->text() : QString();
    };
    QList<SettingsForm::ServerPaceRow> found;
    for (int row = 0; row < m_table->rowCount(); ++row)
        found.append({cell(row, ServerColumn), cell(row, RateColumn), cell(row, InFlightColumn)});
    return found;
}

void ServerPaceEditor::showProblems() {
    const QSignalBlocker quiet(m_table);
    const QList<SettingsForm::ServerPaceRow> current = rows();
    for (int row = 0; row < current.size(); ++row) {
        if (QTableWidgetItem* problem = m_table->item(row, ProblemColumn))
            problem->setText(SettingsForm::serverPaceProblem(current[row]));
    }
}

QColor problemColour() {
    return {208, 28, 16};
}

} // namespace ds
