-- description: All customers
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city, country, email, credit_limit, active, created_at
FROM customers
ORDER BY id
