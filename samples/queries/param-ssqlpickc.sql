-- description: Customers of any of the countries ticked from the customers' countries (SSQLPICKC)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, city, country
FROM customers
WHERE country IN ?SSQLPICKC_Countries||"{SELECT DISTINCT country FROM customers ORDER BY country}"?
ORDER BY country, name
