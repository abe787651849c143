-- description: Customers in the countries listed, one per line (SLIST)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city, country
FROM customers
WHERE country IN ?SLIST_"Countries, one per line"?
ORDER BY country, name
