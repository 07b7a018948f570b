#include "core/session/read_sequence.h"

#include <algorithm>
#include <string>

namespace zek {

int ReadSequence::gaugeValue(int s, bool readAutomatically, bool modulConfigSeen) {
    int value = 0;
    if (s < 30) {
        if (!readAutomatically)
            value = 0;
        else if (modulConfigSeen)
            value = (s - 3) * 4;
        else if (s < 10)
            value = (s - 3) * 10;
        else if (s < 20)
            value = (s - 13) * 17;
        else
            value = (s - 19) * 20;
    } else if (s <= 36) {
        value = (s - 29) * 17;
    } else {
        value = (s - 39) * 20;
    }
    return std::clamp(value, 0, 100);
}

void ReadSequence::onError(int code) {
    if (code == 24)
        m_host.markReplySeen("!TIME_LOCAL");
    if (code != 20 && code != 4 && code != 3)
        return;
    if (m_step >= 10 && m_step <= 12) {
        m_host.markReplySeen("!FIRMA");
        m_step = 13;
        m_host.log("Skip parameter (1)");
    } else if (m_step >= 14) {
        m_step = kIdle;
        m_host.log("Skip parameter (2)");
    }
}

bool ReadSequence::waitFor(std::string_view keyword) {
    if (m_host.replySeen(keyword))
        return true;
    --m_step;
    return false;
}

void ReadSequence::RunSequenceStep() {
    if (!m_host.connected())
        m_step = kIdle;
    if (m_step == m_lastLoggedStep) {
        m_host.setBusyCursor(false);
        if (m_host.connected() && m_host.readAutomatically())
            m_host.setGauge(100, SequenceHost::GaugeColour::Green);
        else
            m_host.setGaugeValue(0);
    } else {
        m_host.log("State: " + std::to_string(m_step));
        m_lastLoggedStep = m_step;
        m_host.setBusyCursor(true);
        if (m_step > 0)
            m_host.setGauge(gaugeValue(m_step, m_host.readAutomatically(), m_host.modulConfigSeen()),
                            SequenceHost::GaugeColour::Yellow);
    }

    switch (m_step) {
    case 3:
        m_host.setPeriod(kFastPeriodMs);
        m_host.clearReplySeen("modul_typ");
        m_host.sendText("?STARTMSG\r");
        m_step = 4;
        break;
    case 4:
        if (waitFor("modul_typ"))
            m_step = 10;
        break;
    case 10:
        m_host.setPeriod(kFastPeriodMs);
        m_host.clearReplySeen("!GERAET");
        m_host.sendText("?GERAET\r");
        m_step = 11;
        break;
    case 11:
        if (waitFor("!GERAET")) {
            m_host.clearReplySeen("!REVISION");
            m_host.sendText("?REVISION\r");
            m_step = 12;
        }
        break;
    case 12:
        if (waitFor("!REVISION")) {
            m_host.clearReplySeen("!FIRMA");
            m_host.sendText("?FIRMA\r");
            m_step = 13;
        }
        break;
    case 13:
        if (waitFor("!FIRMA"))
            m_step = !m_host.readAutomatically() ? kIdle : m_host.loggerCapable() ? 14 : 20;
        break;
    case 14:
        m_host.setPeriod(kFastPeriodMs);
        m_host.pressButton(5090);
        m_step = 15;
        break;
    case 15:
        if (waitFor("!LOG_ON")) {
            m_host.pressButton(5089);
            m_step = 16;
        }
        break;
    case 16:
        if (waitFor("!TIME_LOCAL")) {
            m_host.pressButton(5140);
            m_step = 17;
        }
        break;
    case 17:
        if (waitFor("!DST_USE")) {
            m_host.pressButton(5139);
            m_step = 18;
        }
        break;
    case 18:
        if (waitFor("!DST_START")) {
            m_host.pressButton(5138);
            m_step = 19;
        }
        break;
    case 19:
        if (waitFor("!DST_STOP"))
            m_step = m_host.modulConfigSeen() ? 20 : kIdle;
        break;
    case 20:
        m_host.setPeriod(kFastPeriodMs);
        m_host.pressButton(5086);
        m_step = 21;
        break;
    case 21:
        if (waitFor("!TRAP_IP1")) {
            m_host.pressButton(5088);
            m_step = 22;
        }
        break;
    case 22:
        if (waitFor("!TRAP_IP2")) {
            m_host.pressButton(5087);
            m_step = 23;
        }
        break;
    case 23:
        if (waitFor("!TRAP_IP3")) {
            m_host.pressButton(5202);
            m_step = 24;
        }
        break;
    case 24:
        if (waitFor("!SNMP_LOC")) {
            m_host.clearModulConfigSeen();
            m_step = kIdle;
        }
        break;
    case 30:
        m_host.setPeriod(kSlowPeriodMs);
        m_step = m_host.loggerCapable() ? 31 : kIdle;
        break;
    case 31:
        m_host.pressButton(5106);
        m_step = 32;
        break;
    case 32:
        if (waitFor("!LOG_ON")) {
            if (m_host.loggerActive()) {
                m_host.pressButton(5135);
                m_step = 33;
            } else {
                m_step = kIdle;
            }
        }
        break;
    case 33:
        if (waitFor("!DST_USE")) {
            m_host.pressButton(5137);
            m_step = 34;
        }
        break;
    case 34:
        if (waitFor("!DST_START")) {
            m_host.pressButton(5136);
            m_step = 35;
        }
        break;
    case 35:
        if (waitFor("!DST_STOP")) {
            m_host.pressButton(5110);
            m_step = m_host.timeSent() ? 36 : kIdle;
        }
        break;
    case 36:
        if (waitFor("!TIME_LOCAL"))
            m_step = kIdle;
        break;
    case 40:
        m_host.setPeriod(kSlowPeriodMs);
        if (m_host.trapCapable()) {
            m_host.pressButton(5107);
            m_step = 41;
        } else {
            m_step = kIdle;
        }
        break;
    case 41:
        if (waitFor("!TRAP_IP1")) {
            m_host.pressButton(5108);
            m_step = 42;
        }
        break;
    case 42:
        if (waitFor("!TRAP_IP2")) {
            m_host.pressButton(5109);
            m_step = 43;
        }
        break;
    case 43:
        if (waitFor("!TRAP_IP3")) {
            m_host.pressButton(5201);
            m_step = 44;
        }
        break;
    case 44:
        if (waitFor("!SNMP_LOC"))
            m_step = kIdle;
        break;
    default:
        break;
    }
    if (m_step >= 1 && m_step <= 9 && m_step != 3 && m_step != 4)
        ++m_step;
}

} // namespace zek
