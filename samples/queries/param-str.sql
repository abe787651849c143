-- description: Customers by the start of their name (STR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city, country
FROM customers
WHERE name LIKE ?STR_"Name starts with"? || '%'
ORDER BY name
