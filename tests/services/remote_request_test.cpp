// REMOTE.DAT and the request mails to remote stations.
#include "services/remote_dat.h"
#include "services/remote_request.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace tlx;
using tlx::test::TempDir;

TEST(RemoteDat, FileAndInformationFilesReadBack) {
    TempDir dir;
    const std::filesystem::path path = dir / "REMOTE.DAT";
    std::ofstream(path) << "Address=early@x.org\nChannel=EARLY,1,\"Z\",\"\",\"\",0\n"
                           "smtpserver=mail.example.org\nSMTPAuth=1\nSMTPPort=587\nSampleRate=20\n"
                           "Station=1,Far Station\nAddress=far@example.org\n"
                           "Channel=LONGCHANNELID,1,\"Z\",\"Garage, north wall\",\"S-13\",0\n";
    RemoteSettings s;
    ASSERT_TRUE(readRemoteDat(path, s));
    EXPECT_EQ(s.server, "mail.example.org");
    EXPECT_EQ(s.port, 587);
    ASSERT_EQ(s.stations.size(), 1u) << "lines before any Station belong to none";
    ASSERT_EQ(s.stations[0].channels.size(), 1u);
    const RemoteChannel& c = s.stations[0].channels[0];
    EXPECT_EQ(c.id, "LONGCHAN");
    EXPECT_EQ(c.location, "Garage, north wall");

    // What the dialog writes reads back whole, quotes and password included.
    s.password = "pa\"ss";
    s.stations[0].channels[0].info = "S-13 \"1 Hz\"";
    s.stations[0].channels.push_back({false, 1, "VOL1", "", "", "Channels: 3 \"Z,N,E\""});
    const auto channels = parseChannelInfo("Channel ID: SHZ   Component: Z\nBasement\nL-4C 1 Hz\n"
                                           "Channel ID: BHN Component: N\n\n"
                                           "Dataset Volume: DS01\nnoise\nTotal Channels: 3 (Z, N, E)\n");
    ASSERT_EQ(channels.size(), 3u);
    EXPECT_EQ(channels[0].component, "Z");
    EXPECT_EQ(channels[0].location, "Basement");
    EXPECT_EQ(channels[0].info, "L-4C 1 Hz");
    EXPECT_EQ(channels[1].location, "");
    EXPECT_EQ(channels[2].kind, 1);
    EXPECT_EQ(channels[2].info, "Channels: 3 (Z, N, E)");
    EXPECT_EQ(
        addStationList("new@example.org,New One\nno-at-sign,Skipped\nFAR@example.org,Again\n", s.stations),
        1);
    ASSERT_TRUE(writeRemoteDat(path, s));
    RemoteSettings back;
    ASSERT_TRUE(readRemoteDat(path, back));
    EXPECT_EQ(back.password, "pa\"ss");
    EXPECT_EQ(back.sampleRate, 20);
    ASSERT_EQ(back.stations.size(), 2u);
    EXPECT_FALSE(back.stations[1].selected);
    EXPECT_EQ(back.stations[1].name, "New One");
    ASSERT_EQ(back.stations[0].channels.size(), 2u);
    EXPECT_EQ(back.stations[0].channels[0].info, "S-13 '1 Hz'");
    EXPECT_EQ(back.stations[0].channels[1].info, "Channels: 3 'Z,N,E'");
    EXPECT_EQ(back.stations[0].channels[1].kind, 1);
}

TEST(RemoteRequest, ChecksAndMails) {
    RemoteSettings s;
    RemoteRequestForm form;
    EXPECT_EQ(checkRemoteRequest(s, form).field, RequestField::SendTo);
    s.toAddress = "me@home.org";
    s.userName = "Me";
    s.popAccount = "me@home.org";
    EXPECT_EQ(checkRemoteRequest(s, form).field, RequestField::SmtpServer);
    s.server = "smtp.home.org";
    EXPECT_EQ(checkRemoteRequest(s, form).field, RequestField::Stations);
    s.stations = {{true, "Bare", "bare@x.org", {}}};
    EXPECT_EQ(checkRemoteRequest(s, form).field, RequestField::Channels);
    s.stations.push_back({true, "Quiet", "quiet@x.org", {{false, 0, "SHZ", "Z", "", ""}}});
    s.stations.push_back(
        {true, "Busy", "busy@x.org", {{true, 0, "SHZ", "Z", "", ""}, {true, 0, "SHN", "N", "", ""}}});
    s.stations.push_back({false, "Off", "off@x.org", {{true, 0, "SHZ", "Z", "", ""}}});
    EXPECT_EQ(checkRemoteRequest(s, form).field, RequestField::None);

    // 23:30 local on 31 December five hours west of UTC is 04:30 UTC on 1 January.
    form = {12, 31, 25, 23, 30, true, 10, 7, false};
    const auto westOfUtc = [](const CivilTime& t) { return addSeconds(t, 5 * 3600); };
    const std::vector<RemoteMail> mails = buildRemoteRequests(s, form, westOfUtc);
    ASSERT_EQ(mails.size(), 2u) << "the station without channels gets no event-file request";
    EXPECT_EQ(mails[0].record.to, "quiet@x.org");
    EXPECT_EQ(mails[0].record.body, "EventFileRequest=1 1 2026 4 30 10 100  me@home.org");
    EXPECT_EQ(mails[1].record.body, "EventFileRequest=1 1 2026 4 30 10 100 SHZ,SHN me@home.org");
    EXPECT_EQ(mails[1].record.subject, "Event File Request");
    EXPECT_EQ(mails[1].record.fromAddress, "me@home.org");

    form.stationInfo = true;
    const std::vector<RemoteMail> info = buildRemoteRequests(s, form, westOfUtc);
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[0].record.subject, "Station Information Request");
    EXPECT_EQ(info[0].record.body, "StationInfo=me@home.org");
}

} // namespace
