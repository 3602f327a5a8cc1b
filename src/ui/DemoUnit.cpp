#include "ui/DemoUnit.h"

#include "config/ConfigurationFile.h"

#include <QFileInfo>

namespace rtu {

namespace {

// A small tank battery, used when no site file is at hand.
constexpr const char* BuiltInSite = "SLCD04R02\r\n"
                                    "SLCDT1\"DEMO PRODUCTION CO\"T2\"SAMPLE LEASE 7\"\r\n"
                                    "SPP600\r\n"
                                    "SU00\"OIL 1     \"L2IT1F1.6700E\r\n"
                                    "SU01\"OIL 2     \"L2IT1F1.6700E\r\n"
                                    "SU02\"WATER     \"L1IT0F1.6700E\r\n"
                                    "SU03\"TREATER   \"L1CT2C0.2500M\r\n"
                                    "SG40U00L1ONGT180.000OFFLT170.000\r\n"
                                    "SG41U02L1ONGT120.000OFFLT100.000\r\n"
                                    "S420C1U00L1V4M0.000V20M240.000\r\n"
                                    "S420C2U03T1V4M32.000V20M212.000\r\n";

} // namespace

DemoUnit::DemoUnit() : server_(unit_, ServerOptions{}) {}

QString DemoUnit::start(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        if (!QFileInfo(candidate).isFile())
            continue;
        const LoadResult loaded = unit_.loadState(candidate);
        if (!loaded.ok)
            return loadProblem(candidate, loaded);
        siteFile_ = candidate;
        break;
    }
    if (siteFile_.isEmpty())
        loadBuiltInSite();
    return server_.start();
}

void DemoUnit::loadBuiltInSite() {
    LoadConfiguration(QByteArray(BuiltInSite), unit_.settings(), unit_.tables());
}

} // namespace rtu
