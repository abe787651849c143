#include "query/ConnectionString.h"
#include "query/Backend.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ConnectionString, ReadsTheAdoForm) {
    const ConnectionString cs = ConnectionString::parse(QStringLiteral(
        " Provider = PostgreSQL.1 ;;Data Source=db.example;user id=\"a;b\"\"c\";"
        "Password={x;y=z};Port=5432;Extended Properties='DSN=q;UID=''u''';port=6543;"));
    EXPECT_EQ(cs.value(QStringLiteral("provider")), QStringLiteral("PostgreSQL.1"));
    EXPECT_EQ(cs.value(QStringLiteral("DATA SOURCE")), QStringLiteral("db.example"));
    EXPECT_EQ(cs.value(QStringLiteral("User ID")), QStringLiteral("a;b\"c"));
    EXPECT_EQ(cs.value(QStringLiteral("Password")), QStringLiteral("x;y=z"));
    EXPECT_EQ(cs.value(QStringLiteral("Extended Properties")), QStringLiteral("DSN=q;UID='u'"));
    EXPECT_EQ(cs.value(QStringLiteral("Port")), QStringLiteral("6543")); // the later one
    EXPECT_EQ(cs.value({"Database", "Data Source"}), QStringLiteral("db.example"));
    EXPECT_FALSE(cs.contains(QStringLiteral("Database")));
    EXPECT_EQ(cs.items().size(), 6);
    EXPECT_EQ(cs.items().at(2).raw, QStringLiteral("user id=\"a;b\"\"c\""));
}

TEST(ConnectionString, MalformedStringsNameTheProblem) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"-", "Invalid connection string \"-\": \"-\" is not a key=value item"},
        {"", "Invalid connection string \"\": it holds no key=value item"},
        {" ; ", "Invalid connection string \" ; \": it holds no key=value item"},
        {"Provider=SQLite;=x",
         "Invalid connection string \"Provider=SQLite;=x\": an item has no key before \"=\""},
        {"Password=\"open;Provider=SQLite", "Invalid connection string \"Password=*****\": the "
                                            "value of Password has no closing quote"},
        {"PWD={secret;x=1",
         "Invalid connection string \"PWD=*****\": the value of PWD has no closing brace"},
        {"A=\"b\"c",
         "Invalid connection string \"A=\"b\"c\": unexpected text after the quoted value of A"},
    };
    for (const Case& c : cases) {
        try {
            ConnectionString::parse(QString::fromUtf8(c.text));
            ADD_FAILURE() << c.text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(ConnectionString, MasksPasswords) {
    struct Case {
        const char* text;
        const char* masked;
    };
    const Case cases[] = {
        {"Provider=PostgreSQL;User ID=u;Password=s3cret;Port=1",
         "Provider=PostgreSQL;User ID=u;Password=*****;Port=1"},
        {"Driver={PostgreSQL Unicode};pwd={a;b};Uid=x",
         "Driver={PostgreSQL Unicode};pwd=*****;Uid=x"},
        {"password = \"a;\"\"b\" ;x=1", "password =*****;x=1"},
        {"no password here", "no password here"},
        {"Password=", "Password=*****"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fnMaskPassword(QString::fromUtf8(c.text)), QString::fromUtf8(c.masked)) << c.text;
}

TEST(ConnectionString, TellsAuthenticationFailures) {
    EXPECT_TRUE(fnIsAuthenticationFailure(QStringLiteral(
        "connection to server at \"127.0.0.1\", port 5432 failed: FATAL:  password authentication "
        "failed for user \"probe\"")));
    EXPECT_TRUE(fnIsAuthenticationFailure(QStringLiteral("fe_sendauth: no password supplied")));
    EXPECT_TRUE(fnIsAuthenticationFailure(QStringLiteral("Access denied for user 'x'@'h'")));
    EXPECT_FALSE(fnIsAuthenticationFailure(QStringLiteral("database \"nope\" does not exist")));
    EXPECT_EQ(fnLoginFailedMessage(QStringLiteral("probe"), QStringLiteral("FATAL:  no")),
              QStringLiteral("Login failed for user \"probe\": FATAL:  no"));
    EXPECT_EQ(fnConnectionUser(QStringLiteral("Provider=PostgreSQL;UID=sam")),
              QStringLiteral("sam"));
    EXPECT_EQ(fnConnectionUser(QStringLiteral("-")), QString());
}

} // namespace
} // namespace velmora
